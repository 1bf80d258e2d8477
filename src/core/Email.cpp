#include "core/Email.h"
#include "core/Configuracao.h"

#include <QDateTime>
#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QUuid>

#include <curl/curl.h>

#include <memory>

namespace vx {

ContaEmail ContaEmailSuporte()
{
    static const QString E = QStringLiteral("EMAIL");
    const Configuracao& ini = Ini();
    ContaEmail c;
    c.servidor = ini.le(E, QStringLiteral("SERVIDOR"), QStringLiteral("smtp.vornex.com.br"));
    c.porta = ini.leInt(E, QStringLiteral("PORTA"), 465);
    if (c.porta <= 0 || c.porta > 65535)
        c.porta = 465;
    c.usuario = ini.le(E, QStringLiteral("USUARIO"), QStringLiteral("backup@vornex.com.br"));
    c.senha = ini.le(E, QStringLiteral("SENHA"));
    c.remetente = ini.le(E, QStringLiteral("REMETENTE"));
    if (c.remetente.isEmpty())
        c.remetente = c.usuario;
    c.destinatario = ini.le(E, QStringLiteral("DESTINATARIO"), QStringLiteral("suporte@vornex.com.br"));
    c.certificadoCa = ini.le(E, QStringLiteral("CACERT"));
    if (!c.certificadoCa.isEmpty() && QDir::isRelativePath(c.certificadoCa))
        c.certificadoCa = CaminhoInstalacao(c.certificadoCa);
    return c;
}

namespace {

bool asciiVisivel(const QString& t)
{
    for (const QChar c : t)
        if (c.unicode() < 0x20 || c.unicode() > 0x7e)
            return false;
    return true;
}

// RFC 2047 encoded words of at most 75 characters on folded lines; a character is never split
// between two words. Line breaks in the text end up encoded, so they cannot start a header.
QByteArray palavrasCodificadas(const QString& t)
{
    QByteArray r, bloco;
    const auto fecha = [&] {
        r += (r.isEmpty() ? "" : "\r\n ") + ("=?UTF-8?B?" + bloco.toBase64() + "?=");
        bloco.clear();
    };
    for (qsizetype i = 0; i < t.size();) {
        const qsizetype n = t.at(i).isHighSurrogate() && i + 1 < t.size() ? 2 : 1;
        const QByteArray c = t.mid(i, n).toUtf8();
        if (bloco.size() + c.size() > 45)
            fecha();
        bloco += c;
        i += n;
    }
    if (!bloco.isEmpty())
        fecha();
    return r;
}

QByteArray textoCabecalho(const QString& t)
{
    return asciiVisivel(t) ? t.toLatin1() : palavrasCodificadas(t);
}

QByteArray nomeEEndereco(const QString& nome, const QString& endereco)
{
    if (nome.isEmpty())
        return endereco.toUtf8();
    QByteArray n = asciiVisivel(nome) ? '"' + QString(nome).replace('\\', "\\\\").replace('"', "\\\"").toLatin1() + '"'
                                      : palavrasCodificadas(nome);
    return n + " <" + endereco.toUtf8() + '>';
}

struct Andamento {
    const std::function<bool()>& funcao;
    QDeadlineTimer proxima{0};
};

int andamento(void* ud, curl_off_t, curl_off_t, curl_off_t, curl_off_t)
{
    auto* a = static_cast<Andamento*>(ud);
    if (!a->proxima.hasExpired())
        return 0;
    a->proxima.setRemainingTime(50);
    return a->funcao() ? 0 : 1;
}

struct Lista {
    curl_slist* l = nullptr;
    ~Lista() { curl_slist_free_all(l); }
    void mais(const QByteArray& linha) { l = curl_slist_append(l, linha.constData()); }
};

} // namespace

QString EnviaEmail(const ContaEmail& conta, const Email& email, const std::function<bool()>& progresso)
{
    const auto falha = [](const QString& motivo) { return QStringLiteral("Falha ao enviar e-mail: ") + motivo; };
    QStringList destinos;
    for (const QString& d : conta.destinatario.split(QRegularExpression(QStringLiteral("[,;]"))))
        if (!d.trimmed().isEmpty())
            destinos << d.trimmed();
    if (conta.servidor.isEmpty() || conta.remetente.isEmpty() || destinos.isEmpty())
        return falha(QStringLiteral("servidor, remetente ou destinatário não configurado"));
    if (!email.anexo.isEmpty() && !QFileInfo(email.anexo).isFile())
        return falha(QStringLiteral("anexo %1 não encontrado").arg(QDir::toNativeSeparators(email.anexo)));

    std::unique_ptr<CURL, decltype(&curl_easy_cleanup)> c(curl_easy_init(), &curl_easy_cleanup);
    if (!c)
        return falha(QStringLiteral("não foi possível iniciar a conexão"));
    CURL* h = c.get();
    std::unique_ptr<curl_mime, decltype(&curl_mime_free)> mime(curl_mime_init(h), &curl_mime_free);

    QString texto = email.corpo;
    texto.replace(QLatin1String("\r\n"), QLatin1String("\n")).replace(QLatin1Char('\n'), QLatin1String("\r\n"));
    const QByteArray corpo = texto.toUtf8();
    curl_mimepart* parte = curl_mime_addpart(mime.get());
    curl_mime_data(parte, corpo.constData(), size_t(corpo.size()));
    curl_mime_type(parte, "text/plain; charset=UTF-8");
    curl_mime_encoder(parte, "quoted-printable");
    if (!email.anexo.isEmpty()) {
        parte = curl_mime_addpart(mime.get());
        curl_mime_filedata(parte, QFile::encodeName(email.anexo).constData());
        curl_mime_filename(parte, QFileInfo(email.anexo).fileName().toUtf8().constData());
        curl_mime_type(parte, "application/octet-stream");
        curl_mime_encoder(parte, "base64");
    }

    const QByteArray remetente = conta.remetente.toUtf8();
    const QString dominio = conta.remetente.section(QLatin1Char('@'), 1);
    Lista cabecalhos, envelope;
    cabecalhos.mais("From: " + nomeEEndereco(email.nomeRemetente, conta.remetente));
    cabecalhos.mais("To: " + destinos.join(QStringLiteral(", ")).toUtf8());
    cabecalhos.mais("Subject: " + textoCabecalho(email.assunto));
    cabecalhos.mais("Date: " + QDateTime::currentDateTime().toString(Qt::RFC2822Date).toLatin1());
    cabecalhos.mais("Message-ID: <" + QUuid::createUuid().toString(QUuid::WithoutBraces).toLatin1() + '@'
                    + (dominio.isEmpty() ? QByteArray("vornex") : dominio.toUtf8()) + '>');
    cabecalhos.mais("X-Priority: 3");
    if (email.confirmacaoLeitura)
        cabecalhos.mais("Disposition-Notification-To: <" + remetente + '>');
    for (const QString& d : destinos)
        envelope.mais('<' + d.toUtf8() + '>');

    char erroCurl[CURL_ERROR_SIZE] = {};
    const QByteArray url = QStringLiteral("smtps://%1:%2").arg(conta.servidor).arg(conta.porta).toUtf8();
    const QByteArray usuario = conta.usuario.toUtf8(), senha = conta.senha.toUtf8();
    const QByteArray de = '<' + remetente + '>';
    const QByteArray ca = QFile::encodeName(conta.certificadoCa);
    curl_easy_setopt(h, CURLOPT_URL, url.constData());
    curl_easy_setopt(h, CURLOPT_PROTOCOLS_STR, "smtps");
    curl_easy_setopt(h, CURLOPT_USERNAME, usuario.constData());
    curl_easy_setopt(h, CURLOPT_PASSWORD, senha.constData());
    curl_easy_setopt(h, CURLOPT_LOGIN_OPTIONS, "AUTH=LOGIN");
    if (!ca.isEmpty())
        curl_easy_setopt(h, CURLOPT_CAINFO, ca.constData());
    curl_easy_setopt(h, CURLOPT_MAIL_FROM, de.constData());
    curl_easy_setopt(h, CURLOPT_MAIL_RCPT, envelope.l);
    curl_easy_setopt(h, CURLOPT_HTTPHEADER, cabecalhos.l);
    curl_easy_setopt(h, CURLOPT_MIMEPOST, mime.get());
    curl_easy_setopt(h, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(h, CURLOPT_CONNECTTIMEOUT, 30L);
    curl_easy_setopt(h, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(h, CURLOPT_LOW_SPEED_TIME, 60L);
    curl_easy_setopt(h, CURLOPT_ERRORBUFFER, erroCurl);
    Andamento a{progresso};
    if (progresso) {
        curl_easy_setopt(h, CURLOPT_NOPROGRESS, 0L);
        curl_easy_setopt(h, CURLOPT_XFERINFOFUNCTION, &andamento);
        curl_easy_setopt(h, CURLOPT_XFERINFODATA, &a);
    }
    const CURLcode r = curl_easy_perform(h);
    if (r != CURLE_OK)
        return falha(QString::fromUtf8(erroCurl[0] ? erroCurl : curl_easy_strerror(r)));
    return {};
}

} // namespace vx
