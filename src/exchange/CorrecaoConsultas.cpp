#include "exchange/CorrecaoConsultas.h"
#include "core/Banco.h"

namespace vx {

namespace {

struct Janela {
    const char* procedimentos; // condition on MP.CODPROCEDIMENTO
    int valor;                 // new unit value
    const char* lancAte;       // DATALANC on or before
    const char* digitacaoDesde; // DATA_DIGITACAO on or after
};

const Janela kJanelas[] = {
    {"in (select p.codigo from procedimentos p where p.codgrupo in (1, 20) and p.valor=75)", 50, "02/02/2015", "01/16/2015"},
    {"=474", 50, "02/02/2015", "01/16/2015"},
    {"=491", 80, "02/02/2015", "01/16/2015"},
    {"=483", 75, "02/27/2015", "02/14/2015"},
    {"=304", 110, "03/04/2015", "02/14/2015"},
};

} // namespace

QDateTime FimCorrecaoConsultas() { return QDateTime(QDate(2015, 10, 31), QTime(0, 0)); }

bool CorrigeValorConsultas(Transacao& tr, const QDateTime& agora)
{
    if (agora > FimCorrecaoConsultas())
        return false;
    tr.garanteAtiva();
    for (const Janela& j : kJanelas)
        tr.executa(QStringLiteral("update marcacao_proceds mp set mp.valortotal=mp.quantidade*%1 "
                                  "where mp.codprocedimento %2 and exists(select 1 from marcacao m "
                                  "where m.cli_origem=mp.cli_origem and m.id_marcacao=mp.id_marcacao "
                                  "and m.data_imp_adm=mp.data_imp_adm and m.datalanc<='%3' and m.data_digitacao>='%4')")
                       .arg(j.valor)
                       .arg(QLatin1String(j.procedimentos), QLatin1String(j.lancAte), QLatin1String(j.digitacaoDesde)));
    return true;
}

} // namespace vx
