// The colours of a VGA text screen, which the system message screen is: the
// full-screen test shows colour number n as VgaPalette[n].
#pragma once

struct VgaColor {
    unsigned char red, green, blue;
};

extern const VgaColor VgaPalette[16];
