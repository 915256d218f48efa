#include "app/HelpWindow.h"

#include <QTextBrowser>
#include <QVBoxLayout>

#include "core/TickPathChoice.h"

namespace orbimo {

HelpWindow::HelpWindow(QWidget* parent, const QString& html)
    : QDialog(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowCloseButtonHint) {
    setWindowTitle(QStringLiteral("Орбимо — справка"));
    setModal(false);
    auto* text = new QTextBrowser(this);
    text->setHtml(html);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(text);
    resize(620, 640);
}

QString HelpWindow::Reference() {
    return QStringLiteral(
               "<h3>Окно «Параметры»: поля и единицы</h3>"
               "<table cellspacing='4'>"
               "<tr><td><b>Тело 1 … Тело11</b></td><td>имя тела; галочка — тело участвует в "
               "счёте</td></tr>"
               "<tr><td><b>Масса</b></td><td>кг</td></tr>"
               "<tr><td><b>X</b>, <b>Y</b></td><td>координаты, м (ось Y направлена вниз)</td></tr>"
               "<tr><td><b>Скор.X</b>, <b>Скор.Y</b></td><td>скорость, м/с</td></tr>"
               "<tr><td><b>Вид, 1 … 11</b></td><td>центр изображения: начало координат или "
               "тело</td></tr>"
               "<tr><td><b>Время</b></td><td>модельные дата и время системы</td></tr>"
               "<tr><td><b>Таймер</b></td><td>дата и время, когда счёт остановится сам; не позже "
               "«Время» — без остановки</td></tr>"
               "<tr><td><b>Шаг(с)</b></td><td>шаг по времени, с</td></tr>"
               "<tr><td><b>Шаг(м)</b></td><td>при «Шаг длины»: путь самого быстрого тела за шаг, "
               "м</td></tr>"
               "<tr><td><b>Масштаб</b></td><td>метров на твип (1 твип = 1/1440 дюйма; при 96 "
               "точках "
               "на дюйм в пикселе 15 твипов)</td></tr>"
               "</table>"
               "<h3>Как набирать числа и даты</h3>"
               "<p>Числа: десятичная запятая или точка, пробелы не учитываются, порядок — через E: "
               "<code>5,976E+24</code>.</p>"
               "<p>В полях «Время» и «Таймер» набранная точка становится запятой: запятая отделяет "
               "доли секунды. Поэтому дату набирайте через <b>/</b> или <b>-</b>, например "
               "<code>15/03/2000</code> или <code>15-03-2000</code>, время — через пробел: "
               "<code>15/03/2000 12:30</code>. Программа сама покажет дату в виде "
               "<code>15.03.2000 12:30:00</code>.</p>"
               "<p>Сводка предупреждает, когда шаг, вероятно, слишком велик: дрейф энергии больше "
               "0,001 или шаг больше двадцатой доли орбитального времени какой-либо пары тел.</p>"
               "<p>Настройки показа (скорость, сводка, подписи, вид, точный старт) сохраняются "
               "между "
               "запусками и в "
               "файлы систем не попадают; из сдвига и увеличения в файл попадает только "
               "масштаб.</p>"
               "<p>Такт считается путём ") +
           QString::fromStdU16String(TickPathText()) +
           QStringLiteral(
               "; все пути дают одни и те же числа до последнего бита, быстрейший выбирается "
               "измерением при первом такте. Переменная окружения ORBIMO_TICK_PATH (scalar, "
               "sse2, avx2, avx512) задаёт путь.</p>");
}

}  // namespace orbimo
