#pragma once
// Audit-log report: the filter, the query built from it, the lists of the filter screen and the
// filter line printed on the report.
#include <QDate>
#include <QString>
#include <QStringList>
#include <QVariantList>

namespace vx {

class Transacao;

struct FiltroLogs {
    enum Ordem { PorData, PorUsuario, PorTabela, PorOperacao };
    QDate dataInicial{1, 1, 1};
    QDate dataFinal{2999, 12, 31};  // compared at its midnight: that day's entries are left out
    QString usuario;                // empty = every user (the list's first item)
    QString tabela;                 // empty = every table
    QString operacao;               // empty = every situation
    QString outrasInf;              // part of OUTRASINFO; empty = no condition
    Ordem ordem = PorData;
};

struct ConsultaLogs {
    QString sql;
    QVariantList parametros;        // the two dates, as dates
};

ConsultaLogs MontaConsultaLogs(const FiltroLogs& f);

// Items of the filter lists: "TODOS"/"TODAS" first, then the distinct non-empty values of LOGS.
struct ListasLogs {
    QStringList usuarios;
    QStringList tabelas;
    QStringList operacoes;
};
ListasLogs CarregaListasLogs(Transacao& tr);

// "Período: <d1> a <d2>   Usuário: <u>   Tabela: <t>   Operação: <o>" with the texts as shown.
QString LinhaFiltroLogs(const QString& dataInicial, const QString& dataFinal, const QString& usuario,
                        const QString& tabela, const QString& operacao);

// Texts of the order list, in order.
QStringList OrdensLogs();

} // namespace vx
