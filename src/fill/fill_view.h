#pragma once

#include <string>

namespace dvx {

// What the fill shows on the main window. Main thread only.
class FillView {
  public:
    virtual ~FillView() = default;
    virtual void showItem(const std::string& Label3) = 0;      // the item playing
    virtual void showTimeLeft(const std::string& Label2) = 0;  // time left of the item
    virtual void setTimeLeftVisible(bool visible) = 0;         // `Label2`
    // The fill level meters `MMLevelX3`, `MMLevelX4` and their scale `MMLevelScaleX2`.
    virtual void setFillMetersVisible(bool visible) = 0;
};

}  // namespace dvx
