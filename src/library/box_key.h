#pragma once

namespace dvx {

// The keys that move the focus between the boxes of a library window.
enum class BoxKey { Up, Down, Enter };

}  // namespace dvx
