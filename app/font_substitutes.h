// Faces for the window's Windows fonts where the system lacks them.
#pragma once

namespace kestrum {

// Maps "MS Sans Serif" and "Tahoma" to faces of similar width (an Arial
// clone before anything wider), so that texts fit their fixed-size
// controls as they do on Windows. Has no effect where the faces exist.
void InstallFontSubstitutes();

}  // namespace kestrum
