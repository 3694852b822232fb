#include "app/shell/FacePlan.h"

FacePlan planFaces(StatusItemMode mode, bool statusNotifierHost, bool xembedTray,
                   bool statusNotifierItemUnseen) {
    FacePlan plan;
    if (mode != StatusItemMode::strip) {
        plan.statusNotifierItem = statusNotifierHost;
        plan.xembedIcon = !statusNotifierHost && xembedTray;
    }
    const bool trayShown =
        (plan.statusNotifierItem && !statusNotifierItemUnseen) || plan.xembedIcon;
    plan.strip =
        mode == StatusItemMode::strip || mode == StatusItemMode::trayAndStrip || !trayShown;
    return plan;
}
