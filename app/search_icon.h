// The image of the search button, drawn rather than shipped as a file.
#pragma once

#include <QIcon>

namespace kestrum {

// A 16 x 16 dark blue magnifying glass on a transparent ground.
QIcon MagnifyingGlassIcon();

}  // namespace kestrum
