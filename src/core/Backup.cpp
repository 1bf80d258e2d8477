#include "core/Backup.h"
#include "core/Banco.h"
#include "core/UDMCune.h"
#include "core/UFunc.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>
#include <QThread>

#include <ibase.h>

#include <stdexcept>
#include <vector>

namespace vx {

QString NomeBackupProposto(const QString& consorcio, const QString& dataAtual)
{
    static const char* const perfis[] = {"CUMBEL", "CEVRANDOSA", "CASLUNE", "CORVANE", "CULVAR", "CUNE"};
    const QString perfil = consorcio.toUpper();
    for (const char* p : perfis) {
        if (perfil.contains(QLatin1String(p)))
            return QStringLiteral("BACKUP %1 %2.GBK").arg(QLatin1String(p), QString(dataAtual).remove(QLatin1Char('/')));
    }
    return {};
}

QString DestinoBackup::arquivo(const QString& nome) const
{
    const QChar sep = pasta.contains(QLatin1Char('\\')) ? QLatin1Char('\\') : QLatin1Char('/');
    return pasta + sep + nome;
}

DestinoBackup DestinoDoBackup(const QString& nomeBanco, const QString& computador, const QString& pastaAtual)
{
    DestinoBackup d;
    d.servico = QStringLiteral("service_mgr");
    if (!Conexao::ehServidor(nomeBanco)) {
        d.banco = nomeBanco.contains(QLatin1Char('/')) ? nomeBanco : QDir(pastaAtual).filePath(nomeBanco);
        return d;
    }
    const int dois = nomeBanco.indexOf(QLatin1Char(':'));
    const QString host = nomeBanco.left(dois);
    d.banco = nomeBanco.mid(dois + 1);
    d.servico = host + QStringLiteral(":service_mgr");
    d.rede = host.compare(computador, Qt::CaseInsensitive) != 0
             && host.compare(QLatin1String("localhost"), Qt::CaseInsensitive) != 0;
    if (d.rede) {
        // The server's own separator: "c:\dados\x.fdb" on a Windows server, "/dados/x.fdb" elsewhere.
        const int barra = std::max(d.banco.lastIndexOf(QLatin1Char('/')), d.banco.lastIndexOf(QLatin1Char('\\')));
        const QChar sep = barra >= 0 ? d.banco.at(barra) : QLatin1Char('/');
        d.pasta = (barra >= 0 ? d.banco.left(barra) : QString()) + sep + QStringLiteral("BACKUP");
    }
    return d;
}

qint64 BytesGravadosBackup(const QString& linha)
{
    static const QRegularExpression re(QStringLiteral("(\\d+) bytes written"));
    const QRegularExpressionMatch m = re.match(linha);
    return m.hasMatch() ? m.captured(1).toLongLong() : -1;
}

namespace {

// Copies in pieces so that the window stays alive on large files.
bool CopiaArquivo(const QString& origem, const QString& destino, const std::function<void()>& vivo)
{
    QFile in(origem);
    QSaveFile out(destino);
    if (!in.open(QIODevice::ReadOnly) || !out.open(QIODevice::WriteOnly))
        return false;
    std::vector<char> buf(1 << 20);
    for (;;) {
        const qint64 n = in.read(buf.data(), qint64(buf.size()));
        if (n < 0)
            return false;
        if (n == 0)
            break;
        if (out.write(buf.data(), n) != n)
            return false;
        if (vivo)
            vivo();
    }
    return out.commit();
}

// A network backup's local copy: the service streams a second backup to this computer.
bool RecebeCopia(const PassosBackup& p, const QString& destino)
{
    QSaveFile out(destino);
    if (!out.open(QIODevice::WriteOnly))
        return false;
    bool escreveu = true;
    qint64 total = 0;
    BackupServico b{p.destino.servico, p.destino.banco, QStringLiteral("stdout"), p.usuario, p.senha, {},
                    [&](const char* dados, qint64 n) {
                        escreveu = escreveu && out.write(dados, n) == n;
                        total += n;
                        if (p.vivo)
                            p.vivo();
                    }};
    try {
        ExecutaBackup(b);
    } catch (const ErroBanco&) {
        return false;
    }
    return escreveu && total > 0 && out.commit();
}

} // namespace

bool ExecutaPassosBackup(const PassosBackup& p, TDMCUNE* dm)
{
    QStringList linhas;
    auto registra = [&](const QString& l) {
        linhas << l;
        if (p.log)
            p.log(l);
    };
    const QString nomeBanco = dm ? dm->IBDatabase.nome() : QString();
    const QFileInfo antes(p.arquivo);
    const QDateTime alteradoAntes = antes.exists() ? antes.lastModified() : QDateTime();
    bool gbakFalhou = false;
    try {
        registra(QStringLiteral("Preparando para gerar o backup..."));
        registra(QString());
        if (dm)
            dm->DesconectaBanco();

        registra(QString());
        registra(QStringLiteral("***>> BACKUP INICIOU <<***"));
        registra(QString());
        qint64 gravados = -1;
        BackupServico b{p.destino.servico, p.destino.banco, p.arquivo, p.usuario, p.senha,
                        [&](const QString& l) {
                            const qint64 n = BytesGravadosBackup(l);
                            if (n >= 0)
                                gravados = n;
                            registra(l);
                            if (p.vivo)
                                p.vivo();
                        },
                        {}};
        gbakFalhou = true;
        try {
            ExecutaBackup(b);
        } catch (const ErroBanco& e) {
            if (p.destino.rede && e.temCodigo(isc_gbak_open_bkup_error))
                throw std::runtime_error(
                    (QStringLiteral("Falha ao criar a pasta [") + p.destino.pasta + QStringLiteral("]\n") + e.texto())
                        .toStdString());
            throw;
        }
        // The service ends without error only when the file is whole; a truncated or missing file
        // (a full disk, a file removed meanwhile) is still caught here.
        if (gravados <= 0)
            throw std::runtime_error("O serviço de backup não informou o tamanho do arquivo gerado.");
        if (!p.destino.rede && QFileInfo(p.arquivo).size() != gravados)
            throw std::runtime_error(QStringLiteral("O arquivo %1 tem %2 bytes; o serviço de backup gravou %3.")
                                         .arg(p.arquivo)
                                         .arg(QFileInfo(p.arquivo).size())
                                         .arg(gravados)
                                         .toStdString());
        gbakFalhou = false;
        registra(QStringLiteral("Arquivo .GBK criado com sucesso..."));

        const QString copia = QDir(p.pastaTrabalho).filePath(QStringLiteral("bdcopia.bkp"));
        const bool copiou = p.destino.rede ? RecebeCopia(p, copia) : CopiaArquivo(p.arquivo, copia, p.vivo);
        if (!copiou) {
            registra(QString());
            registra(QStringLiteral("***>> Problemas ao copiar o arquivo!!! <<***"));
        } else {
            QThread::msleep(100);
            registra(QStringLiteral("Compactando arquivo ..."));
            const QString zlib = QDir(p.pastaTrabalho).filePath(QStringLiteral("bdcopia.zlib"));
            if (!CompactaArquivo(copia, zlib, p.vivo))
                throw std::runtime_error(QStringLiteral("Falha ao compactar o arquivo %1.").arg(zlib).toStdString());
            registra(QStringLiteral("Compactação concluída!"));
            if (p.enviaEmail) {
                registra(QString());
                registra(QStringLiteral("Transmitindo backup, aguarde..."));
                Email m;
                m.nomeRemetente = QStringLiteral("Backup automatico");
                m.assunto = p.assunto;
                m.corpo = linhas.join(QLatin1Char('\n'));
                m.anexo = zlib;
                m.confirmacaoLeitura = true;
                const QString erro = EnviaEmail(p.conta, m, [&] {
                    if (p.vivo)
                        p.vivo();
                    return true;
                });
                if (!erro.isEmpty())
                    throw std::runtime_error(erro.toStdString());
                registra(QStringLiteral("Concluído!"));
            }
        }
        registra(QString());
        registra(QString());
        registra(QString());
        registra(QStringLiteral("***>> BACKUP CONCLUIDO! JÁ PODE FECHAR A APLICAÇÃO! <<***"));
        return true;
    } catch (const std::exception& e) {
        const auto* banco = dynamic_cast<const ErroBanco*>(&e);
        registra(QStringLiteral("Ocorreu um erro inesperado. O backup não foi concluído."));
        registra(QStringLiteral("Informações da exceção:"));
        registra(QStringLiteral("  ") + (banco ? banco->texto() : QString::fromUtf8(e.what())));
    }
    // A half-written .GBK must not pass for a backup (a file the service never touched stays).
    if (gbakFalhou && !p.destino.rede) {
        const QFileInfo depois(p.arquivo);
        if (depois.exists() && depois.lastModified() != alteradoAntes)
            QFile::remove(p.arquivo);
    }
    if (dm && !nomeBanco.isEmpty() && !dm->ConectaBanco(nomeBanco))
        registra(dm->MensagemFalha());
    return false;
}

} // namespace vx
