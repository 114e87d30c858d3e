#pragma once

// Whether a window could be shown now: an X server answers on $DISPLAY, or a Wayland compositor
// listens on $WAYLAND_DISPLAY. Needs no application object.
bool displayReachable();
