#include "exchange/DigitacaoProcedimentos.h"
#include "core/Banco.h"
#include "core/Cadastro.h"
#include "core/RegistraLog.h"
#include "core/UFunc.h"

namespace vx {

namespace {

const QString kSep = QStringLiteral("=//=");

QString onde(const AutorizacaoDigitada& a)
{
    return QStringLiteral(" where Cli_Origem=%1 and Id_Marcacao=%2 and Data_Imp_Adm=%3")
        .arg(SqlTexto(a.municipio))
        .arg(a.id)
        .arg(SqlTexto(a.carimbo));
}

bool dataVazia(const QString& d)
{
    return d.trimmed().isEmpty() || d.startsWith(QLatin1String("  /"));
}

// The date with the clock's time, or null.
QString comHora(const QString& data, const QDateTime& agora)
{
    return dataVazia(data) ? QStringLiteral("null")
                           : SqlData(data.left(10) + QLatin1Char(' ') + agora.toString(QStringLiteral("hh:mm")));
}

QString prefixo(const AutorizacaoDigitada& a) { return a.municipio + kSep + QString::number(a.id) + kSep; }

} // namespace

OrigemDigitacao OrigemDigitacaoDe(QChar papel, const QString& codigo)
{
    OrigemDigitacao o;
    if (papel == QLatin1Char('E')) {
        o.carimbo = QStringLiteral("E") + codigo.trimmed();
        o.base = (ZerosEsquerda(codigo, 3) + QStringLiteral("0000")).toLongLong();
    }
    return o;
}

OrigemDigitacao OrigemDigitacaoInstalacao() { return OrigemDigitacaoDe(PapelInstalacao(), CodigoInstalacao()); }

qint64 ProximoIdDigitacao(Consulta& q, const QString& municipio, qint64 base)
{
    q.abre(QStringLiteral("select first 1 id_marcacao as id from marcacao where cli_origem=%1\nand id_marcacao >= %2 "
                          "order by cli_origem desc, id_marcacao desc")
               .arg(SqlTexto(municipio))
               .arg(base));
    const qint64 n = q.eof() ? base : q.campo(QStringLiteral("ID")).inteiro() + 1;
    q.fecha();
    return n;
}

QString ChaveDigitacao(const QString& municipio, qint64 id)
{
    return municipio.trimmed().rightJustified(7, QLatin1Char('0')).mid(2, 5) + QLatin1Char('C') + ZerosEsquerda(id, 7);
}

bool CalendarioSelecionado(const Calendario& c)
{
    return LeData(c.inicio).isValid() && LeData(c.fim).isValid();
}

bool DentroDoCalendario(const Calendario& c, const QDate& data)
{
    if (!CalendarioSelecionado(c))
        return true;
    return data.isValid() && data >= LeData(c.inicio) && data <= LeData(c.fim);
}

AutorizacaoDigitada InsereProcedimentoDigitado(Transacao& tr, const Digitacao& d, const AutorizacaoDigitada& aberta,
                                               const OrigemDigitacao& origem, qint64 procedimento, qint64 quantidade,
                                               const QDateTime& agora)
{
    AutorizacaoDigitada r;
    RepeteSeNumeroTomado([&](bool& criando) {
        r = aberta;
        criando = r.id <= 0;
        EmTransacao(tr, [&](Consulta& q) {
            if (criando) {
                r.municipio = d.municipio;
                r.carimbo = origem.carimbo;
                r.id = ProximoIdDigitacao(q, d.municipio, origem.base);
                r.chave = ChaveDigitacao(d.municipio, r.id);
                q.executa(QStringLiteral("insert into Marcacao(Cli_origem, Id_Marcacao, CodPessoa, CodEntidade, "
                                         "CodProfissional, DataLanc, DataRealizacao, CodCID, ChaveImpre, Obs, "
                                         "Data_imp_adm, data_importacao, data_digitacao) values(") +
                          QStringList{SqlTexto(r.municipio), QString::number(r.id), SqlInteiro(d.paciente),
                                      SqlInteiro(d.entidade), SqlInteiro(d.profissional), SqlData(d.dataLanc),
                                      SqlData(d.dataAtend), SqlTexto(d.cid), SqlTexto(r.chave), SqlTexto(d.obs),
                                      SqlTexto(r.carimbo), comHora(d.dataAtend, agora), comHora(d.dataAtual, agora)}
                              .join(QStringLiteral(", ")) +
                          QLatin1Char(')'));
                RegistraLog(q, QStringLiteral("Marcacao"), QStringLiteral("I"),
                            prefixo(r) + QStringList{d.paciente, d.dataLanc, d.dataAtend}.join(kSep));
                criando = false;
            }
            InsereLinhaProcedimento(q, r.municipio, r.id, r.carimbo, procedimento, quantidade, true);
            return RegistroLog{QStringLiteral("MarcacaoProced"), QStringLiteral("I"),
                               prefixo(r) + QString::number(procedimento)};
        });
    });
    return r;
}

void ExcluiProcedimentoDigitado(Transacao& tr, const AutorizacaoDigitada& a, qint64 procedimento)
{
    ExcluiProcedimento(tr, a.municipio, a.id, procedimento, a.carimbo);
}

void FinalizaDigitacao(Transacao& tr, const Digitacao& d, const AutorizacaoDigitada& a, const QDateTime& agora)
{
    EmTransacao(tr, [&](Consulta& q) {
        q.executa(QStringLiteral("update Marcacao set CodPessoa=%1, CodEntidade=%2, CodProfissional=%3, ChaveImpre=%4, "
                                 "DataLanc=%5, DataRealizacao=%6, data_importacao=%7, data_digitacao=%8, CodCID=%9")
                      .arg(SqlInteiro(d.paciente), SqlInteiro(d.entidade), SqlInteiro(d.profissional),
                           SqlTexto(a.chave), SqlData(d.dataLanc), SqlData(d.dataAtend), comHora(d.dataAtend, agora),
                           comHora(d.dataAtual, agora), SqlTexto(d.cid)) +
                  QStringLiteral(", Obs=") + SqlTexto(d.obs) + onde(a));
        return RegistroLog{QStringLiteral("Marcacao"), QStringLiteral("U"),
                           prefixo(a) + QStringList{d.paciente, d.dataLanc, d.dataAtend, d.entidade, d.profissional}
                                            .join(kSep)};
    });
}

void RegistraImpressaoDigitacao(Transacao& tr, const AutorizacaoDigitada& a)
{
    EmTransacao(tr, [&](Consulta&) {
        return RegistroLog{QStringLiteral("Marcacao"), QStringLiteral("X"),
                           QStringLiteral("CUNE") + kSep + QString::number(a.id) + kSep +
                               QStringLiteral("Imprimiu, gerará xml.")};
    });
}

namespace {
void excluiAutorizacao(Transacao& tr, const AutorizacaoDigitada& a, const QString& situacao, const QString& info)
{
    EmTransacao(tr, [&](Consulta& q) {
        if (a.id <= 0)
            return RegistroLog{};
        q.executa(QStringLiteral("delete from Marcacao_Proceds") + onde(a));
        q.executa(QStringLiteral("delete from Marcacao") + onde(a));
        return RegistroLog{QStringLiteral("Marcacao"), situacao, prefixo(a) + info};
    });
}
} // namespace

void ExcluiAutorizacaoDigitada(Transacao& tr, const AutorizacaoDigitada& a)
{
    excluiAutorizacao(tr, a, QStringLiteral("E"), a.carimbo);
}

void DescartaAutorizacaoDigitada(Transacao& tr, const AutorizacaoDigitada& a)
{
    excluiAutorizacao(tr, a, QStringLiteral("D"), QStringLiteral("Fechou sem Finalizar"));
}

void GravaGlosa(Transacao& tr, const AutorizacaoDigitada& a, const QString& dataBloqueio, const QString& motivo,
                const QString& dataLanc, const QString& descricaoMotivo)
{
    EmTransacao(tr, [&](Consulta& q) {
        q.executa(QStringLiteral("update Marcacao set DataBloqueio=%1, CodMotivoBloqueio=%2")
                      .arg(dataVazia(dataBloqueio) ? QStringLiteral("null") : SqlData(dataBloqueio), SqlInteiro(motivo)) +
                  onde(a));
        return RegistroLog{QStringLiteral("Marcacao"), QStringLiteral("U"),
                           prefixo(a) + QStringLiteral(" Bloq.:") + dataLanc + kSep + descricaoMotivo.left(10)};
    });
}

std::optional<LinhaCadastro> LeAutorizacaoDigitada(Transacao& tr, const QString& municipio, const QString& id)
{
    return LeLinha(tr, QStringLiteral("select first 1 * from marcacao where cli_origem=%1 and id_marcacao=%2 "
                                      "order by databloqueio")
                           .arg(SqlTexto(municipio), SqlInteiro(id)));
}

QString SqlGradeDigitacao(const AutorizacaoDigitada& a)
{
    return QStringLiteral("select M.CodProcedimento, M.Quantidade, P.Nome, P.RequerAPAC, M.ValorTotal, P.ValorSUS, "
                          "P.QuantMax from Marcacao_Proceds M\n"
                          "left outer join Procedimentos P on M.CodProcedimento=P.codigo\n"
                          "where M.Cli_Origem=%1 and M.Id_Marcacao=%2 and M.data_imp_adm=%3")
        .arg(SqlTexto(a.municipio))
        .arg(a.id)
        .arg(SqlTexto(a.carimbo));
}

} // namespace vx
