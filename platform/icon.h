// The program icon as a QIcon with its two sizes.
#pragma once

#include <QIcon>
#include <QImage>

#include "resources/icon.h"

namespace prismview {

QImage IconImageToQImage(const IconImage& icon);
QIcon MakeProgramIcon();

}  // namespace prismview
