#pragma once

#include <Qt>

// A fixed dialog-like window: caption with system menu, minimise and close, no maximise.
inline constexpr Qt::WindowFlags kDialogWindowFlags =
    Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
    Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint;
