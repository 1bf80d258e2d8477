#include "municipality/Bloqueio.h"
#include "core/Banco.h"
#include "core/Cadastro.h"
#include "core/UFunc.h"
#include "exchange/MensagemXml.h"
#include "exchange/ftp/FtpCliente.h"
#include "municipality/MensagemAutorizacao.h"

#include <QFile>

namespace vx {

namespace {

const QString kSep = QStringLiteral("=//=");

QString prefixoLog(const QString& municipio, qint64 numero) { return municipio + kSep + QString::number(numero) + kSep; }

void registra(Transacao& tr, const QString& municipio, qint64 numero, const QString& situacao)
{
    EmTransacao(tr, [&](Consulta&) {
        return RegistroLog{QStringLiteral("Marcacao"), QStringLiteral("X"), prefixoLog(municipio, numero) + situacao};
    });
}

} // namespace

QString NomeMensagemBloqueio(const QString& municipio, qint64 numero)
{
    return QLatin1Char('M') + municipio.trimmed().rightJustified(7, QLatin1Char('0')) + QStringLiteral("_ID") +
           QString::number(numero).rightJustified(7, QLatin1Char('0')) + QStringLiteral("-bloq.xml");
}

QString SqlAutorizacaoPorChave(const QString& chave)
{
    return QStringLiteral("SELECT M.CLI_ORIGEM, M.ID_MARCACAO, P.NOME, M.DATALANC, M.DATAMARC, M.HORAMARC, M.OBS, "
                          "M.DATABLOQUEIO FROM MARCACAO M LEFT OUTER JOIN PESSOAS P ON M.CLI_ORIGEM=P.CLI_ORIGEM AND "
                          "M.CODPESSOA=P.CODIGO WHERE M.CHAVEIMPRE=%1 ORDER BY M.DATABLOQUEIO NULLS FIRST")
        .arg(SqlTexto(chave));
}

QString SqlProcedimentosAutorizacao(const QString& cliOrigem, qint64 numero)
{
    return QStringLiteral("SELECT MP.CODPROCEDIMENTO AS Codigo, P.NOME as Procedimento FROM MARCACAO_PROCEDS MP "
                          "LEFT OUTER JOIN PROCEDIMENTOS P ON MP.CODPROCEDIMENTO=P.CODIGO "
                          "WHERE MP.CLI_ORIGEM=%1 AND MP.ID_MARCACAO=%2")
        .arg(SqlTexto(cliOrigem))
        .arg(numero);
}

QString MontaMensagemBloqueio(const MensagemBloqueio& m, const QDateTime& agora)
{
    EscritorMensagem w;
    w.abre(QStringLiteral("cabecalho"));
    w.elemento(QStringLiteral("respEnvio"), m.municipio);
    w.elemento(QStringLiteral("municipio"), m.nomeMunicipio);
    w.elemento(QStringLiteral("dtEnvio"), FormatoTroca::dataHora(agora));
    w.fecha(QStringLiteral("cabecalho"));
    w.abre(QStringLiteral("marcacao"));
    w.elemento(QStringLiteral("id"), QString::number(m.numero));
    w.elemento(QStringLiteral("codprofissional"), FormatoTroca::inteiro(m.profissional));
    w.elemento(QStringLiteral("chave"), m.chave);
    w.elemento(QStringLiteral("databloqueio"), FormatoTroca::data(m.data));
    w.elemento(QStringLiteral("obs"), m.motivo);
    w.fecha(QStringLiteral("marcacao"));
    return w.texto();
}

ResultadoBloqueio BloqueiaAutorizacao(Transacao& tr, FtpCliente* ftp, const PedidoBloqueio& p, const LinhaStatus& status,
                                      const QDateTime& agora)
{
    ResultadoBloqueio r;
    auto linha = [&](const QString& t) {
        if (status)
            status(LinhaComHora(t));
    };
    // A null date would leave the authorization unblocked.
    if (!p.data.isValid())
        throw ErroValor(QStringLiteral("Informe a Data do Bloqueio da Autorização!"));
    const QString chave = SqlTexto(p.chave);

    EmTransacao(tr, [&](Consulta& q) {
        q.abre(QStringLiteral("select id_marcacao, codprofissional, databloqueio from marcacao WHERE CHAVEIMPRE=%1 "
                              "order by databloqueio nulls first")
                   .arg(chave));
        if (q.eof())
            return RegistroLog{};
        r.numero = q.campo(QStringLiteral("ID_MARCACAO")).inteiro();
        const Campo& prof = q.campo(QStringLiteral("CODPROFISSIONAL"));
        if (!prof.nulo)
            r.profissional = prof.inteiro();
        const bool bloqueada = !q.campo(QStringLiteral("DATABLOQUEIO")).nulo;
        q.fecha();
        if (bloqueada) {
            r.situacao = SituacaoBloqueio::JaBloqueada;
            return RegistroLog{};
        }
        QString sets = QStringLiteral("DATABLOQUEIO=%1, OBS=%2").arg(SqlData(p.data), SqlTexto(p.motivo));
        if (p.codMotivo > 0)
            sets += QStringLiteral(", CODMOTIVOBLOQUEIO=") + SqlInteiro(p.codMotivo);
        q.executa(QStringLiteral("UPDATE MARCACAO SET ") + sets + QStringLiteral(" WHERE CHAVEIMPRE=") + chave);
        r.situacao = SituacaoBloqueio::Bloqueada;
        return RegistroLog{QStringLiteral("Marcacao"), QStringLiteral("B"),
                           prefixoLog(p.municipio, r.numero) + QStringLiteral("Bloqueou Autorização")};
    });
    if (r.situacao != SituacaoBloqueio::Bloqueada)
        return r;

    // The block stands from here on; the message reaches the professional now or with the
    // transmission run.
    EnvioAutorizacao& e = r.envio;
    e.arquivo = NomeMensagemBloqueio(p.municipio, r.numero);
    linha(QStringLiteral(" => Gerando arquivo XML..."));
    try {
        CriaPastasTroca();
        const MensagemBloqueio m{p.municipio, p.nomeMunicipio, r.numero, r.profissional, p.chave, p.data, p.motivo};
        GravaMensagem(PastaEnvio() + e.arquivo, MontaMensagemBloqueio(m, agora), true);
        e.gravado = true;
    } catch (const std::exception&) {
        linha(QStringLiteral(" => Não foi possível CRIAR o arquivo ") + e.arquivo);
        return r;
    }
    e.envio = EnviaAoProfissional(ftp, e.arquivo, r.profissional.value_or(0), status);
    if (e.envio == ResultadoEnvio::Enviado) {
        linha(QStringLiteral(" => Arquivo Enviado. Processo Concluído!"));
        registra(tr, p.municipio, r.numero, QStringLiteral("Bloqueou xml."));
    } else if (e.envio == ResultadoEnvio::Falhou) {
        linha(LinhaEnvioPendente(QStringLiteral("O bloqueio está gravado"), e.arquivo));
    }
    return r;
}

bool ApacNaImpressao(Transacao& tr, const QString& municipio, qint64 numero)
{
    const auto c = LeLinha(tr, QStringLiteral("select apac from clientes where codigo=") + SqlTexto(municipio));
    const bool emite = c && c->texto(QStringLiteral("APAC")).trimmed() == QLatin1String("S");
    return ExigenciasDe(LeProcedimentosMarcacao(tr, municipio, numero), emite).apac;
}

EnvioAutorizacao RetransmiteAutorizacao(Transacao& tr, FtpCliente* ftp, const QString& municipio, qint64 numero,
                                        const LinhaStatus& status, const QDateTime& agora)
{
    EnvioAutorizacao e;
    auto linha = [&](const QString& t) {
        if (status)
            status(LinhaComHora(t));
    };
    linha(QStringLiteral(" => Gerando arquivo XML..."));
    e.arquivo = NomeMensagemAutorizacao(municipio, numero);
    qint64 profissional = 0;
    if (numero > 0) {
        try {
            CriaPastasTroca();
            profissional = Lendo(tr, [&] { return RecriaMensagem(tr, municipio, numero, e.arquivo, agora); });
            e.gravado = profissional != 0;
        } catch (const std::exception&) {
            e.gravado = false;
        }
    }
    if (!e.gravado) {
        // Without a professional the message has nowhere to go: no file is left for the transmission.
        if (numero > 0)
            QFile::remove(PastaEnvio() + e.arquivo);
        linha(QStringLiteral(" => Não foi possível CRIAR o arquivo ") + e.arquivo);
        return e;
    }
    e.envio = EnviaAoProfissional(ftp, e.arquivo, profissional, status);
    if (e.envio == ResultadoEnvio::Enviado)
        linha(QStringLiteral(" => Arquivo Enviado OK!"));
    else if (e.envio == ResultadoEnvio::Falhou)
        linha(LinhaEnvioPendente(QStringLiteral("A autorização está gravada"), e.arquivo));
    registra(tr, municipio, numero, SituacaoEnvio(e.envio));
    return e;
}

} // namespace vx
