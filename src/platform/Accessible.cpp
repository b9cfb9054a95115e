#include "platform/Accessible.h"

#include "platform/Dialogs.h"
#include "platform/GridAccessible.h"
#include "platform/Grids.h"

namespace {

QAccessibleInterface* KalnorAccessible(const QString& className, QObject* object) {
    if (className == QLatin1String("TStringGrid")) {
        return new TGridAccessible(static_cast<TStringGrid*>(object));
    }
    if (className == QLatin1String("TMessageForm")) {
        return new QAccessibleWidget(static_cast<TMessageForm*>(object), QAccessible::AlertMessage);
    }
    if (className == QLatin1String("TForm")) {
        auto* form = static_cast<TForm*>(object);
        return new QAccessibleWidget(form,
                                     form->windowType() == Qt::Dialog ? QAccessible::Dialog : QAccessible::Window);
    }
    return nullptr;
}

} // namespace

void InstallAccessibleFactory() {
    QAccessible::installFactory(KalnorAccessible);
}
