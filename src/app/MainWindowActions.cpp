#include "app/MainWindowActions.h"

namespace orbimo {

const std::vector<CommandEntry>& MainWindowCommands() {
    using K = QKeySequence;
    static const std::vector<CommandEntry> table = {
        {Command::Undo,
         MenuPlace::Edit,
         QStringLiteral("Отменить"),
         {K(K::Undo)},
         QStringLiteral("отменить последнее изменение системы: мышью, в полях, загрузку, счёт "
                        "(также в окне «Параметры»)")},
        {Command::Redo,
         MenuPlace::Edit,
         QStringLiteral("Повторить"),
         {K(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), K(Qt::CTRL | Qt::Key_Y)},
         QStringLiteral("повторить отменённое изменение")},
        {Command::AllOff,
         MenuPlace::Edit,
         QStringLiteral("Выключить все тела"),
         {},
         QStringLiteral("пустая система: все тела выключены, новые добавляются мышью")},
        {Command::StartStop,
         MenuPlace::Run,
         QStringLiteral("Пуск / Стоп"),
         {K(Qt::Key_Space)},
         QStringLiteral("«Пуск» / «Стоп»")},
        {Command::Params,
         MenuPlace::Run,
         QStringLiteral("Параметры…"),
         {K(Qt::Key_F2)},
         QStringLiteral("«Параметры»: тела, даты, шаг, масштаб, системы")},
        {Command::JumpToDate,
         MenuPlace::Run,
         QStringLiteral("Перейти к дате…"),
         {K(Qt::CTRL | Qt::Key_G)},
         QStringLiteral("к любому моменту записанного счёта: состояние, в котором остановился бы "
                        "счёт с этой датой в «Таймер»; позже конца — счёт дальше")},
        {Command::TickBack,
         MenuPlace::Run,
         QStringLiteral("На такт назад"),
         {K(Qt::Key_Comma)},
         QStringLiteral("на такт назад по записанному счёту (также полоса времени над кнопками)")},
        {Command::TickForward,
         MenuPlace::Run,
         QStringLiteral("На такт вперёд"),
         {K(Qt::Key_Period)},
         QStringLiteral("на такт вперёд")},
        {Command::HundredBack,
         MenuPlace::Run,
         QStringLiteral("На 100 тактов назад"),
         {K(Qt::SHIFT | Qt::Key_Comma), K(Qt::Key_Less), K(Qt::SHIFT | Qt::Key_Less)},
         QStringLiteral("на сто тактов назад")},
        {Command::HundredForward,
         MenuPlace::Run,
         QStringLiteral("На 100 тактов вперёд"),
         {K(Qt::SHIFT | Qt::Key_Period), K(Qt::Key_Greater), K(Qt::SHIFT | Qt::Key_Greater)},
         QStringLiteral("на сто тактов вперёд")},
        {Command::Clear,
         MenuPlace::Run,
         QStringLiteral("Очистить"),
         {K(Qt::Key_Delete)},
         QStringLiteral("«Очистить»: стереть пути, тела остаются")},
        {Command::Faster,
         MenuPlace::Pace,
         QStringLiteral("Быстрее"),
         {K(Qt::Key_Plus), K(Qt::SHIFT | Qt::Key_Plus), K(Qt::Key_Equal),
          K(Qt::KeypadModifier | Qt::Key_Plus)},
         QStringLiteral("быстрее: больше модельного времени в секунду (также на цифровой "
                        "клавиатуре)")},
        {Command::Slower,
         MenuPlace::Pace,
         QStringLiteral("Медленнее"),
         {K(Qt::Key_Minus), K(Qt::Key_Underscore), K(Qt::SHIFT | Qt::Key_Underscore),
          K(Qt::KeypadModifier | Qt::Key_Minus)},
         QStringLiteral("медленнее: без ограничения, 10 лет/с, 1 год/с, 1 мес/с, 1 нед/с, "
                        "1 сут/с, 1 ч/с, 1 мин/с")},
        {Command::Readout,
         MenuPlace::Layers,
         QStringLiteral("Сводка"),
         {K(Qt::Key_F3)},
         QStringLiteral("сводка: дата, состояние счёта, скорость, тактов в секунду, дрейф "
                        "энергии, вид"),
         true},
        {Command::Labels,
         MenuPlace::Layers,
         QStringLiteral("Подписи и легенда"),
         {K(Qt::Key_L)},
         QStringLiteral("подписи тел и легенда"),
         true},
        {Command::ScaleBar,
         MenuPlace::Layers,
         QStringLiteral("Масштабная линейка"),
         {},
         QStringLiteral("масштабная линейка в левом нижнем углу"),
         true},
        {Command::Graphs,
         MenuPlace::Layers,
         QStringLiteral("Графики…"),
         {K(Qt::Key_G)},
         QStringLiteral("графики от модельного времени: кинетическая, потенциальная и полная "
                        "энергия, её дрейф, момент импульса и его дрейф, расстояние между двумя "
                        "телами, скорость тела; сохраняются в CSV и PNG")},
        {Command::Orbit,
         MenuPlace::Layers,
         QStringLiteral("Орбита и законы Кеплера…"),
         {K(Qt::Key_K)},
         QStringLiteral("орбита тела вокруг центра сейчас: большая полуось, эксцентриситет, "
                        "период, ближайшее и дальнейшее расстояние; на картине — эллипс, равные "
                        "площади, таблица третьего закона Кеплера")},
        {Command::Ruler,
         MenuPlace::Layers,
         QStringLiteral("Линейка"),
         {},
         QStringLiteral("линейка: перетаскивание левой кнопкой измеряет расстояние и угол "
                        "(и без линейки — с нажатой Shift); снова — убрать"),
         true},
        {Command::Home,
         MenuPlace::View,
         QStringLiteral("Центр вида на место"),
         {K(Qt::Key_Home)},
         QStringLiteral("центр вида на прежнее место")},
        {Command::Fit,
         MenuPlace::View,
         QStringLiteral("Показать всё"),
         {K(Qt::Key_F)},
         QStringLiteral("показать всё: круглый масштаб и сдвиг, при которых видны все пути")},
        {Command::CentreOfMass,
         MenuPlace::View,
         QStringLiteral("Центр масс"),
         {K(Qt::Key_C)},
         QStringLiteral("вид из центра масс участвующих тел (ещё раз — обратно)"),
         true},
        {Command::Rotating,
         MenuPlace::View,
         QStringLiteral("Вращающаяся система"),
         {K(Qt::Key_R)},
         QStringLiteral("вращающаяся система: центр масс тел A и B неподвижен, линия A→B "
                        "направлена вправо (по умолчанию тела 1 и 2; ещё раз — обратно)"),
         true},
        {Command::ChooseRotatingPair,
         MenuPlace::View,
         QStringLiteral("Тела вращающейся системы…"),
         {},
         QStringLiteral("выбрать тела A и B вращающейся системы")},
        {Command::Arrows,
         MenuPlace::Layers,
         QStringLiteral("Стрелки скоростей"),
         {K(Qt::Key_V)},
         QStringLiteral("скорости тел стрелками относительно вида; тянуть за конец стрелки — "
                        "задать скорость"),
         true},
        {Command::Leapfrog,
         MenuPlace::Run,
         QStringLiteral("Точный старт (leapfrog)"),
         {},
         QStringLiteral("перед счётом скорости сдвигаются на полшага назад, после счёта — "
                        "обратно; тот же шаг даёт орбиты во много раз точнее. В полях и в "
                        "файлах скорости всегда на тот же момент, что и координаты"),
         true},
        {Command::SavePicture,
         MenuPlace::Picture,
         QStringLiteral("Сохранить изображение…"),
         {K(K::Save)},
         QStringLiteral("сохранить изображение (как на экране)")},
        {Command::SavePictureBare,
         MenuPlace::Picture,
         QStringLiteral("Сохранить изображение без надписей…"),
         {},
         QStringLiteral("сохранить только пути и тела")},
        {Command::CopyPicture,
         MenuPlace::Picture,
         QStringLiteral("Копировать изображение"),
         {K(K::Copy)},
         QStringLiteral("копировать изображение (как на экране)")},
        {Command::CopyPictureBare,
         MenuPlace::Picture,
         QStringLiteral("Копировать изображение без надписей"),
         {},
         QStringLiteral("копировать только пути и тела")},
        {Command::LineWidth1,
         MenuPlace::LineWidth,
         QStringLiteral("1 пиксель"),
         {},
         QStringLiteral("пути в один пиксель, тела 3 × 3, как их рисует счёт"),
         true},
        {Command::LineWidth2,
         MenuPlace::LineWidth,
         QStringLiteral("2 пикселя"),
         {},
         QStringLiteral("пути толщиной 2 пикселя, тела 5 × 5: для проектора"),
         true},
        {Command::LineWidth3,
         MenuPlace::LineWidth,
         QStringLiteral("3 пикселя"),
         {},
         QStringLiteral("пути толщиной 3 пикселя, тела 7 × 7: для большого зала"),
         true},
        {Command::Help,
         MenuPlace::Help,
         QStringLiteral("Справка"),
         {K(Qt::Key_F1)},
         QStringLiteral("эта справка")},
    };
    return table;
}

QString MenuTitle(MenuPlace place) {
    switch (place) {
        case MenuPlace::Pace:
            return QStringLiteral("Скорость");
        case MenuPlace::View:
            return QStringLiteral("Вид");
        case MenuPlace::LineWidth:
            return QStringLiteral("Толщина линий");
        default:
            return {};
    }
}

QString KeyName(const QKeySequence& key) {
    if (key == QKeySequence(Qt::Key_Space)) return QStringLiteral("Пробел");
    if (key == QKeySequence(Qt::Key_Minus)) return QStringLiteral("−");
    if (key == QKeySequence(Qt::Key_Delete)) return QStringLiteral("Delete");
    return key.toString(QKeySequence::NativeText);
}

}  // namespace orbimo
