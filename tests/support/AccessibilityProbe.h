#pragma once

#include <QAccessible>
#include <QString>

#include <vector>

// Stands in for a screen reader: while it lives, the program's accessibility events are on (the offscreen
// platform has no reader to turn them on) and each one is recorded with what its object said then.
class AccessibilityProbe {
public:
    struct Heard {
        QAccessible::Event Type;
        QAccessible::Role Role;
        QString Name;
    };

    AccessibilityProbe();
    ~AccessibilityProbe();
    AccessibilityProbe(const AccessibilityProbe&) = delete;
    AccessibilityProbe& operator=(const AccessibilityProbe&) = delete;

    std::vector<Heard> Events;
    // The names of the objects events of this type were about, in order.
    std::vector<QString> NamesOf(QAccessible::Event type) const;

private:
    static void Record(QAccessibleEvent* event);
};

// What a reader says an object is called; "(none)" where there is no object.
QString AccessibleName(const QAccessibleInterface* object);
