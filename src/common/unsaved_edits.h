#pragma once

#include <functional>

namespace dvx {

// What the user answers to "Save changes to <window>?".
enum class SaveAnswer { Save, Discard, Cancel };

// The one rule by which every settings window keeps and saves its edits: what is typed, ticked or
// chosen stays in the window until Apply or the window's closing; closing with edits not yet
// applied asks first. Save applies and lets the window go only when the values were accepted,
// Discard lets it go without writing, Cancel keeps it open with what was typed.
// Main thread only.
class UnsavedEdits {
  public:
    struct Handlers {
        std::function<SaveAnswer()> ask;
        // Writes what the window holds; false when a value was refused (nothing written).
        std::function<bool()> apply;
        // Drops the edits.
        std::function<void()> discard;
    };

    void edited() { m_edited = true; }
    // What the window shows is what is stored: after loading and after an accepted Apply.
    void stored() { m_edited = false; }
    bool pending() const { return m_edited; }

    // Whether the window may close now, asking through `handlers` when edits are pending.
    bool mayClose(const Handlers& handlers);

  private:
    bool m_edited = false;
};

}  // namespace dvx
