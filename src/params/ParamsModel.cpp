// The parameters window's contents and its handlers.
#include "params/ParamsModel.h"

#include <cassert>
#include <cmath>
#include <cstdlib>
#include <optional>
#include <utility>

#include "convert/DateTimeText.h"
#include "convert/NumberText.h"
#include "platform/Cp1251.h"

namespace orbimo {
namespace {

constexpr Colour Rgb(unsigned r, unsigned g, unsigned b) {
    return r | g << 8 | b << 16;
}

/// Caption colours of optVid(1..11); "Вид" (element 0) uses the default text colour.
constexpr std::array<Colour, kSlots> kOptionColours = {
    0,
    Rgb(128, 128, 0),
    Rgb(128, 64, 64),
    Rgb(0, 128, 0),
    Rgb(0, 0, 192),
    Rgb(128, 0, 0),
    Rgb(0, 128, 128),
    Rgb(128, 0, 128),
    Rgb(128, 64, 0),
    Rgb(192, 64, 0),
    Rgb(64, 64, 0),
    Rgb(0, 0, 64),
};

bool IsBody(int k) {
    return k >= 1 && k <= kBodies;
}
bool IsCheckState(int state) {
    return state >= 0 && state <= 2;
}

// The one reading of the scale text in this window. Text that ParseNumber
// cannot read counts as 0: the scale check refuses it like any scale not greater
// than zero, and activation and deactivation compare it as 0 (so "abc" → "0" is
// no change of value, "abc" → "5" is one). No NaN ever enters the comparison.
/// Passes everything on and counts the messages shown, so that a caller learns whether
/// a conversion told the user something.
class CountingToolkit final : public Toolkit {
  public:
    explicit CountingToolkit(Toolkit& inner) : inner_(inner) {}
    void MessageBox(const std::u16string& text) override {
        ++shown;
        inner_.MessageBox(text);
    }
    std::u16string InputBox(const std::u16string& prompt, const std::u16string& title,
                            const std::u16string& answer) override {
        return inner_.InputBox(prompt, title, answer);
    }
    void DispatchPendingEvents() override { inner_.DispatchPendingEvents(); }
    double Now() const override { return inner_.Now(); }
    void Wait(double seconds) override { inner_.Wait(seconds); }
    [[noreturn]] void EndProgram() override {
        inner_.EndProgram();
        std::abort();  // never reached: the program has ended
    }
    int shown = 0;

  private:
    Toolkit& inner_;
};

double ScaleValue(const std::u16string& text) {
    const std::optional<double> z = ParseNumber(text);
    return z && !std::isnan(*z) ? *z : 0.0;
}

}  // namespace

const std::vector<std::u16string>& ScalePresets() {
    static const std::vector<std::u16string> presets = {
        u"        50 000", u"       120 000", u"       500 000", u"     1 000 000",
        u"     3 000 000", u"     5 000 000", u"    10 000 000", u"    20 000 000",
        u"    40 000 000", u"    60 000 000", u"    90 000 000", u"   150 000 000",
        u"   200 000 000", u"   300 000 000", u"   500 000 000", u"   800 000 000",
        u" 1 500 000 000",
    };
    return presets;
}

// Creation. SimState is left alone: BodyOn stays 0 until a run
// starts or a box changes state.
ParamsModel::ParamsModel(SimState& state, Toolkit& toolkit) : state_(state), toolkit_(toolkit) {
    for (int k = 1; k <= kBodies; ++k) {
        BodyRow& row = bodies[k];
        row.caption = k <= 9 ? u"Тело " + std::u16string(1, static_cast<char16_t>(u'0' + k))
                             : u"Тело1" + std::u16string(1, static_cast<char16_t>(u'0' + k - 10));
        row.state = k <= 5 ? 1 : 0;
        row.captionColour = kTraceColours[k];
        row.optionColour = kOptionColours[k];
    }
    stepLength.enabled = false;
    scalePresets = ScalePresets();
}

TextField& ParamsModel::Field(FieldRef f) {
    return const_cast<TextField&>(std::as_const(*this).Field(f));
}

// A bad reference is a programmer's mistake; without asserts it falls back on
// the unused slot 0 rather than touching memory it does not own.
const TextField& ParamsModel::Field(FieldRef f) const {
    const bool bodyField = f.kind <= FieldKind::VY;
    assert(f.kind != FieldKind::Scale && "the scale is zoomText, not a TextField");
    assert((!bodyField || IsBody(f.body)) && "body fields are indexed 1..11");
    const BodyRow& row = bodies[bodyField && IsBody(f.body) ? f.body : 0];
    switch (f.kind) {
        case FieldKind::Mass:
            return row.mass;
        case FieldKind::X:
            return row.x;
        case FieldKind::Y:
            return row.y;
        case FieldKind::VX:
            return row.vx;
        case FieldKind::VY:
            return row.vy;
        case FieldKind::SimDate:
            return simDate;
        case FieldKind::StopDate:
            return stopDate;
        case FieldKind::TimeStep:
            return timeStep;
        case FieldKind::StepLength:
            return stepLength;
        case FieldKind::Scale:
            break;
    }
    return bodies[0].mass;
}

std::u16string ParamsModel::Text(FieldRef f) const {
    return f.kind == FieldKind::Scale ? scaleText : Field(f).text;
}

// Announces only real changes: the window's mirror may call back with the text
// it has just been given, and that must not loop.
void ParamsModel::SetText(FieldRef f, const std::u16string& text) {
    std::u16string& target = f.kind == FieldKind::Scale ? scaleText : Field(f).text;
    if (target == text) return;
    target = text;
    Notify();
    if (f.kind <= FieldKind::VY && IsBody(f.body) && bodyEdited) bodyEdited(f.body);
}

std::optional<std::u16string> BodyNameProblem(const std::u16string& name) {
    if (name.find_first_not_of(u' ') == std::u16string::npos)
        return u"Имя тела не может быть пустым.";
    if (name.size() > kLongestNameLength) {
        const std::string most = std::to_string(kLongestNameLength);
        return u"Имя тела длиннее " + std::u16string(most.begin(), most.end()) + u" знаков.";
    }
    for (char16_t c : name) {
        if (c < u' ') return u"В имени тела не может быть управляющих символов.";
        if (c == u'"') return u"В имени тела не может быть кавычки \".";
        // The file keeps names in Windows-1251: a letter it lacks would come back as "?".
        if (ToCp1251(std::u16string(1, c)) == "?" && c != u'?')
            return u"Буквы «" + std::u16string(1, c) +
                   u"» нет в кодировке файлов систем (Windows-1251).";
    }
    return std::nullopt;
}

std::optional<std::u16string> ParamsModel::RenameBody(int k, const std::u16string& name) {
    if (!IsBody(k)) return u"Нет такого тела.";
    if (const auto problem = BodyNameProblem(name)) return problem;
    if (bodies[k].caption == name) return std::nullopt;
    bodies[k].caption = name;
    Notify();
    if (bodyEdited) bodyEdited(k);
    return std::nullopt;
}

// A greyed box (state 2) does not take part: BodyOn gets 0 for it, so BodyOn
// only ever holds 0 or 1. States outside 0..2 cannot be given to a check box
// and are ignored (a damaged file then leaves the box as it was).
void ParamsModel::SetBodyState(int k, int state) {
    if (!IsBody(k) || !IsCheckState(state) || bodies[k].state == state) return;
    bodies[k].state = state;
    state_.BodyOn[k] = state == 1 ? 1 : 0;
    Notify();
    if (bodyEdited) bodyEdited(k);
}

// Selecting the option that is already selected does nothing (no second clear).
void ParamsModel::SelectView(int k) {
    if (k < 0 || k > kBodies || k == viewOption) return;
    viewOption = k;
    state_.ViewBody = static_cast<std::int16_t>(k);
    Notify();
    if (clearPlot) clearPlot();
}

void ParamsModel::SetStepLengthMode(int state) {
    if (!IsCheckState(state)) return;
    const bool lengthMode = state != 0;
    if (stepLengthMode == state && stepLength.enabled == lengthMode &&
        timeStep.enabled == !lengthMode)
        return;
    stepLengthMode = state;
    stepLength.enabled = lengthMode;
    timeStep.enabled = !lengthMode;
    Notify();
}

Leave ParamsModel::FocusLeaves(FieldRef f) {
    switch (f.kind) {
        case FieldKind::Mass:
        case FieldKind::X:
        case FieldKind::Y:
        case FieldKind::VX:
        case FieldKind::VY:
            if (!IsBody(f.body)) return Leave::Done;
            [[fallthrough]];
        case FieldKind::TimeStep:
        case FieldKind::StepLength:
            SetText(f, NormalizeNumber(Text(f)));
            return Leave::Done;
        case FieldKind::Scale:
            if (ScaleValue(scaleText) > 0) return Leave::Done;
            toolkit_.MessageBox(u"Масштаб должен быть больше нуля");
            return Leave::BackToScale;
        case FieldKind::StopDate: {
            CountingToolkit counting(toolkit_);
            SetText(f, FormatDate(ParseDate(stopDate.text, counting)));
            return counting.shown > 0 ? Leave::AfterMessage : Leave::Done;
        }
        case FieldKind::SimDate:  // read-only
            return Leave::Done;
    }
    return Leave::Done;
}

char16_t ParamsModel::Typed(FieldRef f, char16_t c) {
    const bool dateField = f.kind == FieldKind::SimDate || f.kind == FieldKind::StopDate;
    return dateField && c == u'.' ? u',' : c;
}

// A ViewBody outside 0..11 (damaged file) has no option: nothing new is
// selected, and ViewBody keeps its value.
void ParamsModel::Activate() {
    SelectView(state_.ViewBody);
    scaleOnActivate = ScaleValue(scaleText);
}

void ParamsModel::Deactivate() {
    if (ScaleValue(scaleText) != scaleOnActivate && clearPlot) clearPlot();
}

}  // namespace orbimo
