#include "support/AccessibilityProbe.h"

#include <QtGui/private/qguiapplication_p.h>
#include <qpa/qplatformaccessibility.h>
#include <qpa/qplatformintegration.h>

namespace {

AccessibilityProbe* Current = nullptr;

QPlatformAccessibility* Platform() {
    return QGuiApplicationPrivate::platformIntegration()->accessibility();
}

} // namespace

AccessibilityProbe::AccessibilityProbe() {
    Current = this;
    QAccessible::installUpdateHandler(Record);
    Platform()->setActive(true);
}

AccessibilityProbe::~AccessibilityProbe() {
    Platform()->setActive(false);
    QAccessible::installUpdateHandler(nullptr);
    Current = nullptr;
}

std::vector<QString> AccessibilityProbe::NamesOf(QAccessible::Event type) const {
    std::vector<QString> names;
    for (const Heard& heard : Events) {
        if (heard.Type == type) {
            names.push_back(heard.Name);
        }
    }
    return names;
}

void AccessibilityProbe::Record(QAccessibleEvent* event) {
    if (!Current) {
        return;
    }
    QAccessibleInterface* object = event->accessibleInterface();
    Current->Events.push_back({event->type(), object ? object->role() : QAccessible::NoRole,
                               object ? object->text(QAccessible::Name) : QString()});
}

QString AccessibleName(const QAccessibleInterface* object) {
    return object ? object->text(QAccessible::Name) : QStringLiteral("(none)");
}
