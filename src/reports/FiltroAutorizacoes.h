#pragma once
// The authorization and production reports: what the filter screen gathered, which report it asks
// for, and the SQL pieces every report of the family shares (filter clauses, date bases, the
// filter line, control labels). No widgets: the reports and the tests build on these.
#include "core/Decimal.h"

#include <QDate>
#include <QDateTime>
#include <QMap>
#include <QString>
#include <QVariantList>

namespace vx {

class Transacao;

// Callers of the filter screen.
namespace chamador {
inline const QString Municipio = QStringLiteral("MUNICIPIO");
inline const QString Entidade = QStringLiteral("ENTIDADE");
inline const QString AdministrativoR = QStringLiteral("ADMINISTRATIVO-R");
inline const QString AdministrativoF = QStringLiteral("ADMINISTRATIVO-F");
} // namespace chamador

enum class Bloqueio { NaoBloqueados = 0, Bloqueados = 1, Todos = 2 };
enum class RegistroBpa { Consolidado = 0, Individualizado = 1, Todos = 2 };
enum class Totalizacao { Municipio = 0, Entidade = 1, Profissional = 2, Grupo = 3, Procedimento = 4 };

// A code filter: "0" or empty is no filter; the name is what the screen shows beside the field.
struct CodigoFiltro {
    QString codigo;
    QString nome;
    bool preenchido() const;
};

struct FiltroAutorizacoes {
    QString chamador = chamador::Municipio;
    bool totaliza = false;
    QChar papel = QLatin1Char('C');  // role letter of the installation
    QString identidade;              // GERAL/USUARIO, upper-cased
    QString perfil;                  // GERAL/CONSORCIO

    QDate data1, data2;
    bool dataRealizacao = false;     // "Data Realização" chosen instead of "Data Digitação"
    bool agendaVisivel = false;      // the appointment range is shown (municipality role)
    QDate agenda1, agenda2;
    bool naoAgendados = false;
    Bloqueio bloqueio = Bloqueio::NaoBloqueados;

    CodigoFiltro municipio, unidade, pessoa, entidade, profissional, grupo, procedimento;

    int ordem = 0;                   // index of the order / totalling choice
    QString ordemTexto;
    bool agrupado = false;
    bool porEntidade = false;        // grouping "Por Entidade" (else "Por Município")
    bool valorSus = false;           // "Valor SUS" summed instead of "Valor CONSORCIO"
    RegistroBpa registroBpa = RegistroBpa::Consolidado;

    QString descricaoCalendario;     // of the calendar whose dates equal the period (DescricaoCalendario)

    bool municipioPapel() const { return papel == QLatin1Char('M'); }
    bool consorcioPapel() const { return papel == QLatin1Char('C'); }
    bool perfilTem(const QString& palavra) const { return perfil.toUpper().contains(palavra); }
    // The identities whose reports carry the "49" control labels.
    bool comControle() const;
};

enum class RelatorioAutorizacoes { Lista, Totais, PorMunicipio, PorEntidade, Extrato, ExtratoComTotais };
RelatorioAutorizacoes EscolheRelatorio(const FiltroAutorizacoes& f);

// WHERE pieces with their parameters, and the filter line they add.
struct ClausulaRelatorio {
    QString sql;
    QVariantList parametros;
    QString legenda;
};

// The code filters in their order, then the appointment range. `nivelAutorizacao`: the group and
// procedure filters as EXISTS over the authorization's procedures (reports whose rows are
// authorizations); otherwise on the joined MP / PR.
ClausulaRelatorio ClausulasComuns(const FiltroAutorizacoes& f, bool nivelAutorizacao);

// " (<description>)" of the calendar whose dates equal the period, or empty.
QString LegendaCalendario(const FiltroAutorizacoes& f);

// Time bounds of the period: the list report (the day to 23:59:59), the totals and grouped lists
// (00:01 to 23:59) and the statement (00:00:01 to 23:59:59).
enum class Limites { Lista, Totais, Extrato };
QPair<QDateTime, QDateTime> LimitesPeriodo(const FiltroAutorizacoes& f, Limites l);

// The movement's date column the period applies to ("M.DATALANC", "M.DATA_IMPORTACAO", ...).
QString ColunaDataLista(const FiltroAutorizacoes& f);
QString ColunaDataTotais(const FiltroAutorizacoes& f);
QString ColunaDataExtrato(const FiltroAutorizacoes& f);

// "Relat. 49" + ddMM + last year digit + "57" of the first date (totals).
QString ControleTotais(const QDate& d1);
// "R49" + ddMM + last year digit + "57" + the moment as ddMMyyyyhhmmss (statement).
QString ControleExtrato(const QDate& d1, const QDateTime& agora);

// Taxes of one entity's statement on its total.
struct ImpostosExtrato {
    Decimal irrf, issqn, pis, cofins, csll, saldo;
};
ImpostosExtrato CalculaImpostos(const Decimal& total, bool isentoIr, bool simples, const Decimal& aliqIssqn,
                                const Decimal& aliqPis, const Decimal& aliqCofins, const Decimal& aliqCsll);

// Sums of the printed values per billing group, in memory (two statements at once never mix).
class SomasGrupos {
public:
    void soma(const QString& grupoCobranca, const Decimal& valor);
    // "GRUPO      : R$ 1.234,56" for every group with a positive sum, in group order.
    QStringList linhas() const;

private:
    QMap<QString, Decimal> m_somas;
};

// The receipt issued to a municipality for the period ending on `fim`: "RECIBO Nº 007" and its
// issue date, or "RECIBO AINDA NÃO GERADO" and an invalid date.
struct ReciboExtrato {
    QString texto;
    QDate emissao;
};
ReciboExtrato ReciboDoMunicipio(Transacao& tr, const QString& municipio, const QDate& fim);

// A report's query: text, positional parameters and the filter line.
struct ConsultaRelatorio {
    QString sql;
    QVariantList parametros;
    QString legenda;
};

// One row per procedure of every listed authorization, in the report's order (the list).
ConsultaRelatorio SqlLista(const FiltroAutorizacoes& f);
// CODIGO, NOME, QUANT, VALOR per totalling key (the totals).
ConsultaRelatorio SqlTotais(const FiltroAutorizacoes& f);
// Per municipality or entity (CODMESTRE, NOMEMESTRE and its details) the summed procedures.
ConsultaRelatorio SqlAgrupado(const FiltroAutorizacoes& f);
// One row per realized procedure, by municipality or entity (CODMESTRE, NOMEMESTRE) (the statement).
ConsultaRelatorio SqlExtrato(const FiltroAutorizacoes& f);

// The consortium's name on the CULVAR statement.
QString NomeCompletoCulvar();

} // namespace vx
