#pragma once
// The window manager, screen, notification area, help viewer and file system ports,
// one per header; this gathers them for whoever uses them all (the desktop's fake does).
#include "common/ports/file_system.h"
#include "common/ports/help.h"
#include "common/ports/screen.h"
#include "common/ports/tray.h"
#include "common/ports/window_handle.h"
#include "common/ports/window_manager.h"
