// Reads a browser box's page for the tests. The probe is a module of its
// own, loaded only once a browser box exists: linked into the test, the web
// engine would start itself with the application and the tests would not run
// the program's own way of starting it.
//
//   const QVariant time = EvaluateInBox(box, "document.getElementById('sound').currentTime");
#pragma once

#include <QString>
#include <QVariant>

class QWidget;

// The value of `script` run in the box's page, waiting up to a second;
// invalid when it gives undefined or does not finish.
QVariant EvaluateInBox(QWidget* box, const QString& script);
