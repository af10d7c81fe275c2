#include "tests/listen/page_probe.h"

#include <QLibrary>

#include <stdexcept>

QVariant EvaluateInBox(QWidget* box, const QString& script) {
    using Evaluate = QVariant(QWidget*, const QString&);
    static Evaluate* const evaluate = [] {
        QLibrary probe(QStringLiteral(LISTEN_PAGE_PROBE));
        auto* found = reinterpret_cast<Evaluate*>(probe.resolve("ProbeEvaluate"));
        if (found == nullptr) throw std::runtime_error(probe.errorString().toStdString());
        return found;
    }();
    return evaluate(box, script);
}
