#pragma once
#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/SimState.h"
#include "platform/Toolkit.h"

namespace orbimo {

/// The controls of the parameters window whose text the user edits.
enum class FieldKind : std::uint8_t {
    Mass,
    X,
    Y,
    VX,
    VY,          // per body, index 1..11
    SimDate,     // «Время», the simulated moment
    StopDate,    // «Таймер»
    TimeStep,    // «Шаг(с)»
    StepLength,  // «Шаг(м)»; settings, index unused
    Scale,       // the scale combo box's edit text
};

/// What leaving a field did: nothing to tell, a message was shown, or the focus must go
/// back to the scale.
enum class Leave : std::uint8_t { Done, AfterMessage, BackToScale };

struct FieldRef {
    FieldKind kind;
    int body = 0;  // 1..11 for the body columns
};

struct TextField {
    std::u16string text = u"0";
    bool enabled = true;
};

struct BodyRow {
    std::u16string caption;  // cbxMass(k) caption, the body's name
    int state = 0;           // cbxMass(k): 0 clear, 1 ticked, 2 greyed
    Colour captionColour = 0;
    Colour optionColour = 0;  // optVid(k) caption colour
    TextField mass, x, y, vx, vy;
};

/// The parameters window as plain data plus its handlers. The Qt window mirrors
/// it: every change made here is announced through `changed`, and every edit
/// made there is written back with SetText before a handler runs.
class ParamsModel {
  public:
    ParamsModel(SimState& state, Toolkit& toolkit);

    // ---- contents (read freely; write through the setters below) ----
    std::array<BodyRow, kSlots> bodies;  // 1..11
    int viewOption = 0;                  // the view option selected, 0 («Вид») .. 11
    // «Время» (the simulated moment, read-only), «Таймер», «Шаг(с)», «Шаг(м)»
    TextField simDate, stopDate, timeStep, stepLength;
    int stepLengthMode = 0;    // the «Шаг длины» box
    std::u16string scaleText;  // «Масштаб», the scale box's edit text
    std::vector<std::u16string> scalePresets;
    std::vector<std::u16string> systems;  // «Система:», the catalogue's entries
    double scaleOnActivate = 0;

    /// Called after any change the window must show.
    std::function<void()> changed;
    /// Clears the plot without keeping the markers (the main window's Clear(false)).
    std::function<void()> clearPlot;
    /// A body's text or check box changed (by the user, a mouse edit or loading).
    std::function<void(int body)> bodyEdited;
    /// A system was loaded into the fields: chosen in the catalogue (its name), or the state
    /// file (an empty name). The fields hold it whole by then.
    std::function<void(const std::u16string& name)> systemLoaded;

    TextField& Field(FieldRef f);
    const TextField& Field(FieldRef f) const;
    /// Text of a field, the scale combo box included.
    std::u16string Text(FieldRef f) const;
    /// Sets a text exactly as given; no handler runs.
    void SetText(FieldRef f, const std::u16string& text);

    // ---- handlers: the consequences of state changes, by user or by loading ----
    /// A body's new name (its caption, the name item of a system file); nothing changes and the
    /// reason is returned when the name cannot be one (BodyNameProblem).
    std::optional<std::u16string> RenameBody(int k, const std::u16string& name);
    /// A body's check box state; when it changes, BodyOn follows at once.
    void SetBodyState(int k, int state);
    /// Selects optVid(k); when the selection changes, ViewBody = k and the plot is cleared.
    void SelectView(int k);
    /// The step-length box: enables "Шаг(м)" exactly when ticked, "Шаг(с)" otherwise.
    void SetStepLengthMode(int state);

    /// The focus leaves a field.
    Leave FocusLeaves(FieldRef f);
    /// A typed character as it is entered into the field (a point becomes a comma in date fields).
    static char16_t Typed(FieldRef f, char16_t c);

    /// The window becomes active / stops being active.
    void Activate();
    void Deactivate();

    /// Normal form of a number field's text.
    static std::u16string NormalizeNumber(const std::u16string& text);

    SimState& state() { return state_; }
    Toolkit& toolkit() { return toolkit_; }

  private:
    void Notify() {
        if (changed) changed();
    }
    SimState& state_;
    Toolkit& toolkit_;
};

/// The longest body name: longer ones the file would keep, but the legend and labels not.
inline constexpr std::size_t kLongestNameLength = 40;
/// Why a text cannot name a body (empty, too long, a double quote, a letter Windows-1251 lacks),
/// or nothing when it can.
std::optional<std::u16string> BodyNameProblem(const std::u16string& name);

/// The 17 scale presets, 14 characters each, in list order.
const std::vector<std::u16string>& ScalePresets();

}  // namespace orbimo
