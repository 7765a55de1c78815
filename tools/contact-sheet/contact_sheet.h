// One picture showing the whole skin: every picture at its size, labelled
// with its resource id, name and size, buttons next to their hover and grey
// looks.
#pragma once

#include <QImage>

namespace kolvex::skin {

// Needs a QGuiApplication (the labels are drawn with the system's fonts).
QImage renderContactSheet();

} // namespace kolvex::skin
