#pragma once

#include "core/AppSettings.h"

// Which faces show the status item.
struct FacePlan {
    bool statusNotifierItem = false;  // the desktop's StatusNotifierItem host
    bool xembedIcon = false;          // an XEmbed system tray
    bool strip = false;               // the status strip window
    bool operator==(const FacePlan&) const = default;
};

// The faces for a mode on the trays this desktop has. A tray face falls back to the strip
// when no tray exists, and the strip stands in while the host has not shown the item
// (`statusNotifierItemUnseen`), so the program is never left without a face.
FacePlan planFaces(StatusItemMode mode, bool statusNotifierHost, bool xembedTray,
                   bool statusNotifierItemUnseen = false);
