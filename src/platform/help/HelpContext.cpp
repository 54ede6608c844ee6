#include "platform/help/HelpContext.h"

#include <QObject>
#include <QVariant>

namespace platform {

static const char *const kProperty = "HelpContextID";

void setHelpContextID(QObject *object, int id)
{
    if (object)
        object->setProperty(kProperty, id);
}

int helpContextID(const QObject *object)
{
    return object ? object->property(kProperty).toInt() : 0;
}

} // namespace platform
