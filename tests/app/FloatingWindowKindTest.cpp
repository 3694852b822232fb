#include "status_item/FloatingWindowKind.h"

#include <gtest/gtest.h>

namespace {

// Under a Wayland compositor both windows go unmanaged (else they are centred), and the panel
// becomes an ordinary window, which the compositor hands the keyboard; the strip never takes it.
TEST(FloatingWindowKindTest, UnmanagedOnlyUnderWaylandCompositor) {
    struct {
        FloatingWindowKind kind;
        bool underWaylandCompositor;
        bool unmanaged;
        Qt::WindowType type;
        bool refusesFocus;
    } cases[] = {
        {FloatingWindowKind::strip, false, false, Qt::Tool, true},
        {FloatingWindowKind::strip, true, true, Qt::Tool, true},
        {FloatingWindowKind::compactPanel, false, false, Qt::Tool, false},
        {FloatingWindowKind::compactPanel, true, true, Qt::Window, false},
    };
    for (const auto& c : cases) {
        const Qt::WindowFlags flags = floatingWindowFlags(c.kind, c.underWaylandCompositor);
        const auto which = ::testing::Message() << int(c.kind) << " " << c.underWaylandCompositor;
        EXPECT_EQ(flags.testFlag(Qt::X11BypassWindowManagerHint), c.unmanaged) << which;
        EXPECT_EQ(flags & Qt::WindowType_Mask, c.type) << which;
        EXPECT_EQ(flags.testFlag(Qt::WindowDoesNotAcceptFocus), c.refusesFocus) << which;
        EXPECT_TRUE(flags.testFlag(Qt::FramelessWindowHint) &&
                    flags.testFlag(Qt::WindowStaysOnTopHint))
            << which;
    }
}

}  // namespace
