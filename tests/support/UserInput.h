#pragma once

#include <QPoint>

class QWidget;

// A double-click as the window system delivers it: press, release, double-click, release.
// (QTest::mouseDClick alone sends only the double-click event.)
void DoubleClick(QWidget* widget, QPoint pos);
