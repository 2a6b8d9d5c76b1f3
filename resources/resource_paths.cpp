#include "resources/resource_paths.h"

#include <QFile>

// Qt's registration macro declares a global function and so cannot be used inside a namespace.
static void RegisterCompiledResources() { Q_INIT_RESOURCE(resources); }

namespace kelmarin {

void InitResources() {
    static const bool registered = (RegisterCompiledResources(), true);
    (void)registered;
}

QByteArray ResourceBytes(const char* path) {
    InitResources();
    QFile file(QString::fromLatin1(path));
    if (!file.open(QIODevice::ReadOnly)) return {};
    return file.readAll();
}

QIcon MainIcon() {
    InitResources();
    return QIcon(QString::fromLatin1(kMainIconPath));
}

}  // namespace kelmarin
