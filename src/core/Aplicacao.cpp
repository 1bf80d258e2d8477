#include "core/Aplicacao.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace vx {

namespace {
QStringList& carregadas()
{
    static QStringList l;
    return l;
}
} // namespace

void ConfiguraAplicacao()
{
    // No display name: Qt would append it to every window title. An empty title falls back to
    // the application name.
    QCoreApplication::setApplicationName(QString::fromLatin1(kNomeAplicacao));
    const QLocale brasil(QLocale::Portuguese, QLocale::Brazil);
    QLocale::setDefault(brasil);
    if (!carregadas().isEmpty())
        return;
    const QString pasta = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    for (const char* base : {"qtbase", "qt"}) {
        auto* t = new QTranslator(QCoreApplication::instance());
        if (t->load(brasil, QString::fromLatin1(base), QStringLiteral("_"), pasta)) {
            QCoreApplication::installTranslator(t);
            carregadas() << t->filePath();
            break; // qt_pt_BR only includes qtbase_pt_BR
        }
        delete t;
    }
}

QStringList TraducoesCarregadas()
{
    return carregadas();
}

} // namespace vx
