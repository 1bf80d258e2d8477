#include "core/Http.h"
#include "core/Configuracao.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QSaveFile>

#include <curl/curl.h>

#include <memory>

namespace vx {

namespace {

struct Transferencia {
    QSaveFile* arquivo;
    qint64 gravados = 0;
    QDeadlineTimer eventos{0};
};

size_t grava(char* buf, size_t tam, size_t n, void* ud)
{
    auto* t = static_cast<Transferencia*>(ud);
    const qint64 w = t->arquivo->write(buf, qint64(tam * n));
    if (w < 0)
        return 0; // curl stops with CURLE_WRITE_ERROR
    t->gravados += w;
    return size_t(w);
}

int progresso(void* ud, curl_off_t, curl_off_t, curl_off_t, curl_off_t)
{
    // Keeps the window alive without pumping on every callback.
    auto* t = static_cast<Transferencia*>(ud);
    if (t->eventos.hasExpired() && QCoreApplication::instance()) {
        t->eventos.setRemainingTime(50);
        QCoreApplication::processEvents();
    }
    return 0;
}

} // namespace

bool BaixaHttp(const QString& url, const QString& destino, QString* erro, int tempoLento)
{
    const auto falha = [&](const QString& texto) {
        if (erro)
            *erro = texto;
        return false;
    };
    QSaveFile arquivo(destino);
    if (!arquivo.open(QIODevice::WriteOnly))
        return falha(QStringLiteral("Não foi possível criar o arquivo %1 (%2)")
                         .arg(QDir::toNativeSeparators(destino), arquivo.errorString()));
    std::unique_ptr<CURL, decltype(&curl_easy_cleanup)> c(curl_easy_init(), &curl_easy_cleanup);
    if (!c)
        return falha(QStringLiteral("Não foi possível iniciar a transferência"));
    Transferencia t{&arquivo};
    char erroCurl[CURL_ERROR_SIZE] = {};
    const QByteArray u = url.toUtf8();
    CURL* h = c.get();
    curl_easy_setopt(h, CURLOPT_URL, u.constData());
    curl_easy_setopt(h, CURLOPT_PROTOCOLS_STR, "http,https,ftp,ftps");
    curl_easy_setopt(h, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(h, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(h, CURLOPT_MAXREDIRS, 10L);
    curl_easy_setopt(h, CURLOPT_FAILONERROR, 1L);
    curl_easy_setopt(h, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(h, CURLOPT_CONNECTTIMEOUT, 15L);
    curl_easy_setopt(h, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(h, CURLOPT_LOW_SPEED_TIME, long(tempoLento > 0 ? tempoLento : Geral::FTPTEMPOLENTO()));
    curl_easy_setopt(h, CURLOPT_ERRORBUFFER, erroCurl);
    curl_easy_setopt(h, CURLOPT_WRITEFUNCTION, &grava);
    curl_easy_setopt(h, CURLOPT_WRITEDATA, &t);
    curl_easy_setopt(h, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(h, CURLOPT_XFERINFOFUNCTION, &progresso);
    curl_easy_setopt(h, CURLOPT_XFERINFODATA, &t);
    const CURLcode r = curl_easy_perform(h);
    if (r != CURLE_OK) {
        arquivo.cancelWriting();
        return falha(QString::fromUtf8(erroCurl[0] ? erroCurl : curl_easy_strerror(r)));
    }
    // curl stops at the announced length but a connection closed before it is not always an error.
    curl_off_t esperado = -1;
    curl_easy_getinfo(h, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &esperado);
    if (esperado >= 0 && esperado != t.gravados) {
        arquivo.cancelWriting();
        return falha(QStringLiteral("Transferência incompleta: %1 de %2 bytes").arg(t.gravados).arg(qint64(esperado)));
    }
    if (!arquivo.commit())
        return falha(QStringLiteral("Não foi possível gravar o arquivo %1 (%2)")
                         .arg(QDir::toNativeSeparators(destino), arquivo.errorString()));
    return true;
}

} // namespace vx
