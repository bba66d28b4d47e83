// Where a top-level window first appears.
#pragma once

class QWidget;

namespace sarvanta {

// Moves the window so that its frame is centred on the primary screen's available area.
void CenterOnScreen(QWidget& window);

}  // namespace sarvanta
