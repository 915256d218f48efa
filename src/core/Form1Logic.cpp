// main window logic: written next
