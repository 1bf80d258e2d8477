#include "municipality/MensagemAutorizacao.h"
#include "core/Banco.h"
#include "core/Configuracao.h"
#include "core/UDMCune.h"
#include "core/UVariaveis.h"
#include "exchange/MensagemXml.h"
#include "exchange/ftp/TransporteFtp.h"

namespace vx {

namespace {

const char* const kColunasCabecalho =
    "SELECT M.*, P.CODIGO, P.NOME, P.CARTAOSUS, P.DATANASC, P.FONES, P.SEXO, P.RACA, P.ETNIA, P.OBS as OBSPACIENTE, "
    "P.RESPONSAVEL, P.NOMEMAE, P.CODTIPOLOGRAD, P.ENDERECO, P.ENDNUM, P.BAIRRO, P.CEP";

// One origin and number may be stored more than once (one copy per import): take the first copy
// that has procedures (realized ones when `realizados`), so header and procedures agree.
// `porChave`: the authorization is named by its printed key instead of origin and number.
QString sqlCabecalho(bool comMunicipio, bool realizados, bool porChave = false)
{
    QString s = QString::fromLatin1(kColunasCabecalho);
    if (comMunicipio)
        s += QStringLiteral(", C.NOME AS NOMEMUN");
    s += QStringLiteral(" FROM MARCACAO M"
                        " LEFT OUTER JOIN PESSOAS P ON M.CODPESSOA=P.CODIGO AND M.cli_origem=P.cli_origem");
    if (comMunicipio)
        s += QStringLiteral(" LEFT OUTER JOIN CLIENTES C ON M.CLI_ORIGEM=C.CODIGO");
    s += porChave ? QStringLiteral(" WHERE M.CHAVEIMPRE=?") : QStringLiteral(" WHERE M.CLI_ORIGEM=? AND M.ID_MARCACAO=?");
    s += QStringLiteral(" ORDER BY CASE WHEN EXISTS(SELECT 1 FROM MARCACAO_PROCEDS MP WHERE MP.CLI_ORIGEM=M.CLI_ORIGEM"
                        " AND MP.ID_MARCACAO=M.ID_MARCACAO AND MP.DATA_IMP_ADM=M.DATA_IMP_ADM%1) THEN 0 ELSE 1 END,"
                        " M.DATA_IMP_ADM")
             .arg(realizados ? QStringLiteral(" AND MP.REALIZADO='S'") : QString());
    return s;
}

QString sqlProcedimentos(bool realizados)
{
    QString s = QStringLiteral("select mp.quantidade, mp.valortotal, coalesce(p.codigo, mp.codprocedimento) as codigo, p.nome"
                               " from Marcacao_Proceds MP"
                               " left outer join procedimentos P on MP.Codprocedimento=p.codigo"
                               " where mp.Cli_origem=? and MP.Id_Marcacao=? and MP.DATA_IMP_ADM=?");
    if (realizados)
        s += QStringLiteral(" and MP.realizado='S'");
    return s;
}

void abreCabecalho(Consulta& q, const QString& cliOrigem, qint64 id, bool comMunicipio, bool realizados)
{
    q.abre(sqlCabecalho(comMunicipio, realizados), {cliOrigem, id});
    if (q.eof())
        throw ErroMensagem(QStringLiteral("Autorização %1 de %2 não encontrada!").arg(id).arg(cliOrigem));
}

QString origem7(const QString& cliOrigem)
{
    return cliOrigem.rightJustified(7, QLatin1Char('0'));
}

void escreveCorpo(EscritorMensagem& w, Transacao& tr, Consulta& q, bool comDatas, bool realizados)
{
    EscrevePaciente(w, q);
    EscreveMarcacaoInicio(w, q, comDatas);
    Consulta procs(tr);
    procs.abre(sqlProcedimentos(realizados),
               {q.campo("CLI_ORIGEM").texto(), q.campo("ID_MARCACAO").inteiro(), q.campo("DATA_IMP_ADM").texto()});
    EscreveProcedimentos(w, procs);
    w.fecha(QStringLiteral("procedimentos"));
    w.fecha(QStringLiteral("marcacao"));
}

} // namespace

QString NomeMensagemAutorizacao(const QString& cliOrigem, qint64 idMarcacao, const QString& usuario)
{
    QString n = QLatin1Char('M') + origem7(cliOrigem) + QStringLiteral("_ID") +
                QString::number(idMarcacao).rightJustified(7, QLatin1Char('0'));
    if (!usuario.isEmpty())
        n += QLatin1Char('_') + usuario;
    return n + QStringLiteral(".xml");
}

void EscrevePaciente(EscritorMensagem& w, const Consulta& q)
{
    w.abre(QStringLiteral("paciente"));
    w.campo(QStringLiteral("codigo"), q.campo("CODIGO"));
    w.campo(QStringLiteral("nome"), q.campo("NOME"));
    w.campo(QStringLiteral("cartaosus"), q.campo("CARTAOSUS"));
    w.campoData(QStringLiteral("datanasc"), q.campo("DATANASC"));
    w.campo(QStringLiteral("fones"), q.campo("FONES"));
    w.campo(QStringLiteral("sexo"), q.campo("SEXO"));
    w.campo(QStringLiteral("raca"), q.campo("RACA"));
    w.campo(QStringLiteral("etnia"), q.campo("ETNIA"));
    w.campo(QStringLiteral("responsavel"), q.campo("RESPONSAVEL"));
    w.campo(QStringLiteral("nomemae"), q.campo("NOMEMAE"));
    w.campo(QStringLiteral("obs"), q.campo("OBSPACIENTE"));
    w.campo(QStringLiteral("codtipolograd"), q.campo("CODTIPOLOGRAD"));
    w.campo(QStringLiteral("endereco"), q.campo("ENDERECO"));
    w.campo(QStringLiteral("endnum"), q.campo("ENDNUM"));
    w.campo(QStringLiteral("bairro"), q.campo("BAIRRO"));
    w.campo(QStringLiteral("cep"), q.campo("CEP"));
    w.fecha(QStringLiteral("paciente"));
}

void EscreveMarcacaoInicio(EscritorMensagem& w, const Consulta& q, bool comDatasRealizacao)
{
    w.abre(QStringLiteral("marcacao"));
    w.campo(QStringLiteral("id"), q.campo("ID_MARCACAO"));
    w.campo(QStringLiteral("codentidade"), q.campo("CODENTIDADE"));
    w.campo(QStringLiteral("codprofissional"), q.campo("CODPROFISSIONAL"));
    w.campo(QStringLiteral("codpessoa"), q.campo("CODPESSOA"));
    w.campoData(QStringLiteral("datalanc"), q.campo("DATALANC"));
    w.campoData(QStringLiteral("datamarc"), q.campo("DATAMARC"));
    w.campo(QStringLiteral("horamarc"), q.campo("HORAMARC"));
    w.campo(QStringLiteral("carater"), q.campo("CARATER"));
    if (comDatasRealizacao) {
        w.campoData(QStringLiteral("datarealizacao"), q.campo("DATAREALIZACAO"));
        w.campoData(QStringLiteral("datadigitacao"), q.campo("DATA_DIGITACAO"));
    }
    w.campo(QStringLiteral("codcid"), q.campo("CODCID"));
    w.campo(QStringLiteral("chaveimpre"), q.campo("CHAVEIMPRE"));
    w.campo(QStringLiteral("obs"), q.campo("OBS"));
    w.abre(QStringLiteral("procedimentos"));
}

void EscreveProcedimentos(EscritorMensagem& w, Consulta& procs)
{
    int seq = 0;
    for (; !procs.eof(); procs.proximo()) {
        w.abre(QStringLiteral("det"), QStringLiteral("nSeq='%1'").arg(++seq));
        w.campo(QStringLiteral("codigo"), procs.campo("CODIGO"));
        w.campo(QStringLiteral("nome"), procs.campo("NOME"));
        w.campo(QStringLiteral("quant"), procs.campo("QUANTIDADE"));
        w.campo(QStringLiteral("valortotal"), procs.campo("VALORTOTAL"));
        w.fecha(QStringLiteral("det"));
    }
}

QString MontaMensagemAutorizacao(Transacao& tr, const QString& cliOrigem, const QString& nomeMunicipio, qint64 idMarcacao,
                                 const QDateTime& agora)
{
    Consulta q(tr);
    abreCabecalho(q, cliOrigem, idMarcacao, false, false);
    EscritorMensagem w;
    w.abre(QStringLiteral("cabecalho"));
    w.elemento(QStringLiteral("respEnvio"), origem7(cliOrigem));
    w.elemento(QStringLiteral("municipio"), nomeMunicipio);
    w.elemento(QStringLiteral("dtEnvio"), FormatoTroca::dataHora(agora));
    w.elemento(QStringLiteral("versao"), QString::fromLatin1(VersaoPrograma));
    w.fecha(QStringLiteral("cabecalho"));
    escreveCorpo(w, tr, q, false, false);
    return w.texto();
}

QString GravaMensagemAutorizacao(Transacao& tr, const QString& cliOrigem, const QString& nomeMunicipio, qint64 idMarcacao,
                                 const QDateTime& agora)
{
    const QString nome = NomeMensagemAutorizacao(cliOrigem, idMarcacao);
    GravaMensagem(PastaEnvio() + nome, MontaMensagemAutorizacao(tr, cliOrigem, nomeMunicipio, idMarcacao, agora), true);
    return nome;
}

namespace {

// The realization message of the authorization on the current row of `q`.
QString realizacao(Transacao& tr, Consulta& q, const QString& nomeResp, const QDateTime& agora)
{
    EscritorMensagem w;
    w.abre(QStringLiteral("cabecalho"));
    w.elemento(QStringLiteral("respEnvio"), Geral::USUARIO());
    w.elemento(QStringLiteral("nomeResp"), nomeResp);
    w.elemento(QStringLiteral("codMun"), q.campo("CLI_ORIGEM").texto());
    w.elemento(QStringLiteral("dtEnvio"), FormatoTroca::dataHora(agora));
    w.elemento(QStringLiteral("versao"), QString::fromLatin1(VersaoPrograma));
    w.fecha(QStringLiteral("cabecalho"));
    escreveCorpo(w, tr, q, true, true);
    return w.texto();
}

} // namespace

QString NomeMensagemRealizacao(const QString& cliOrigem, qint64 idMarcacao)
{
    return NomeMensagemAutorizacao(cliOrigem, idMarcacao, Geral::USUARIO().toUpper());
}

MensagemRealizacao MontaMensagemRealizacao(Transacao& tr, const QString& chave, const QString& nomeResp,
                                           const QDateTime& agora)
{
    Consulta q(tr);
    q.abre(sqlCabecalho(false, true, true), {chave});
    if (q.eof())
        throw ErroMensagem(QStringLiteral("Chave não encontrada!"));
    MensagemRealizacao m;
    m.cliOrigem = q.campo("CLI_ORIGEM").texto();
    m.idMarcacao = q.campo("ID_MARCACAO").inteiro();
    m.arquivo = NomeMensagemRealizacao(m.cliOrigem, m.idMarcacao);
    m.texto = realizacao(tr, q, nomeResp, agora);
    return m;
}

MensagemRealizacao GravaMensagemRealizacao(Transacao& tr, const QString& chave, const QString& nomeResp,
                                           const QDateTime& agora)
{
    MensagemRealizacao m = MontaMensagemRealizacao(tr, chave, nomeResp, agora);
    GravaMensagem(PastaEnvio() + m.arquivo, m.texto, false);
    return m;
}

QString MontaMensagemRecriada(Transacao& tr, const QString& cliOrigem, qint64 idMarcacao, qint64* codProfissional,
                              const QDateTime& agora)
{
    const bool municipio = EhMunicipio();
    Consulta q(tr);
    abreCabecalho(q, cliOrigem, idMarcacao, true, !municipio);
    if (codProfissional)
        *codProfissional = q.campo("CODPROFISSIONAL").inteiro();
    // Entity or professional: the realization message, marked as rebuilt.
    if (!municipio)
        return realizacao(tr, q, QStringLiteral("(Arquivo Recriado)"), agora);
    EscritorMensagem w;
    w.abre(QStringLiteral("cabecalho"));
    w.elemento(QStringLiteral("respEnvio"), origem7(cliOrigem));
    w.elemento(QStringLiteral("municipio"), q.campo("NOMEMUN").texto());
    w.elemento(QStringLiteral("dtEnvio"), FormatoTroca::dataHora(agora));
    w.elemento(QStringLiteral("versao"), QString::fromLatin1(VersaoPrograma));
    w.fecha(QStringLiteral("cabecalho"));
    escreveCorpo(w, tr, q, true, false);
    return w.texto();
}

qint64 RecriaMensagem(Transacao& tr, const QString& cliOrigem, qint64 idMarcacao, const QString& arquivo, const QDateTime& agora)
{
    qint64 prof = 0;
    const QString texto = MontaMensagemRecriada(tr, cliOrigem, idMarcacao, &prof, agora);
    GravaMensagem(PastaEnvio() + arquivo, texto, false);
    return prof;
}

qint64 RecriaMensagem(const QString& cliOrigem, qint64 idMarcacao, const QString& arquivo)
{
    TDMCUNE* dm = DMCUNE();
    if (!dm)
        throw ErroMensagem(QStringLiteral("Banco de dados não conectado"));
    return RecriaMensagem(dm->IBTLivre, cliOrigem, idMarcacao, arquivo);
}

} // namespace vx
