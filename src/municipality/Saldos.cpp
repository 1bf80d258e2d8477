#include "municipality/Saldos.h"
#include "core/Cadastro.h"
#include "core/UFunc.h"

namespace vx {

namespace {
QString valor(const Decimal& d)
{
    return FormataValor(d, QStringLiteral("#####0.00"));
}

QString legenda(const char* texto, const PeriodoMes& p)
{
    return QString::fromUtf8(texto) + TextoData(p.inicio) + QStringLiteral(" a ") + TextoData(p.fim) +
           QStringLiteral(": R$ ");
}
} // namespace

QDate UltimoDiaMes(const QDate& d)
{
    return QDate(d.year(), d.month(), d.daysInMonth());
}

PeriodoMes PeriodoDoMes(const QDate& d)
{
    return {QDate(d.year(), d.month(), 1), UltimoDiaMes(d), d.toString(QStringLiteral("MM-yyyy"))};
}

Decimal SomaAutorizada(Transacao& tr, const QString& municipio, const QDate& de, const QDate& ate, bool porAgendamento,
                       std::optional<qint64> unidade)
{
    const QString data = porAgendamento ? QStringLiteral("M.DataMarc") : QStringLiteral("M.DataLanc");
    // The origin is given on both sides of the join so that the date index of MARCACAO drives it.
    QString sql = QStringLiteral("select sum(MP.valortotal) as valor from Marcacao_proceds MP "
                                 "inner join Marcacao M on MP.Cli_origem=M.Cli_origem and MP.Id_Marcacao=M.Id_Marcacao "
                                 "and MP.Data_Imp_Adm=M.Data_Imp_Adm "
                                 "where M.cli_origem=%1 and MP.cli_origem=%1 and %2 >= %3 and %2 <= %4 "
                                 "and M.databloqueio is null")
                      .arg(SqlTexto(municipio), data, SqlData(de), SqlData(ate));
    if (unidade)
        sql += QStringLiteral(" and M.CodUnidade=") + SqlInteiro(*unidade);
    const auto l = LeLinha(tr, sql);
    return l ? (*l)[QStringLiteral("VALOR")].decimal() : Decimal::cents(0);
}

QString Saldos::textoAutorizado() const { return valor(autorizado); }
QString Saldos::textoLimite() const { return valor(limite); }
QString Saldos::textoSaldo() const { return saldo ? valor(*saldo) : QString(); }
QString Saldos::textoAgendado() const { return agendado ? valor(*agendado) : QString(); }
QString Saldos::textoObs() const { return linhaUnidade.isEmpty() ? obsLimite : linhaUnidade; }

namespace {
Saldos calcula(Transacao& tr, const EntradaSaldos& e)
{
    Saldos s;
    if (e.impressaoConcluida)
        s.finaliza = Saldos::Finaliza::Habilitar;
    const auto bloqueia = [&] {
        s.excedido = true;
        s.finaliza = Saldos::Finaliza::Desabilitar;
    };

    const PeriodoMes mes = PeriodoDoMes(e.dataLanc);
    PeriodoMes ultimo = mes;
    s.legendaAutorizado = legenda("Valor já autorizado no período ", mes);
    s.autorizado = SomaAutorizada(tr, e.municipio, mes.inicio, mes.fim);

    if (const auto l = LeLinha(tr, QStringLiteral("select valor, obs from CliLimites where CodCliente=%1 and periodo=%2")
                                       .arg(SqlTexto(e.municipio), SqlTexto(mes.chave)))) {
        s.limite = (*l)[QStringLiteral("VALOR")].decimal();
        s.obsLimite = l->texto(QStringLiteral("OBS"));
    }
    if (s.limite > Decimal::cents(0)) {
        s.saldo = s.limite - s.autorizado;
        if (*s.saldo < Decimal::cents(0))
            bloqueia();
    }

    if (e.dataMarc.isValid()) {
        ultimo = PeriodoDoMes(e.dataMarc);
        s.legendaAgendado = legenda("Valor já AGENDADO para o período ", ultimo);
        s.agendado = SomaAutorizada(tr, e.municipio, ultimo.inicio, ultimo.fim, true);
    }

    if (e.unidade) {
        // The last matching limit wins; without one the unit is read over the month used last.
        QDate de = ultimo.inicio, ate = ultimo.fim;
        Decimal limiteUnidade = Decimal::cents(0);
        const auto limites = LeLinhas(tr, QStringLiteral("select * from limitesunidades where CodUnidade=%1 and "
                                                         "datainicial <= %2 and datafinal >= %2")
                                              .arg(SqlInteiro(*e.unidade), SqlData(e.dataLanc)));
        if (!limites.isEmpty()) {
            const LinhaCadastro& l = limites.last();
            de = l[QStringLiteral("DATAINICIAL")].data();
            ate = l[QStringLiteral("DATAFINAL")].data();
            limiteUnidade = l[QStringLiteral("VALOR")].decimal();
        }
        const Decimal gasto = SomaAutorizada(tr, e.municipio, de, ate, false, e.unidade);
        s.linhaUnidade = QStringLiteral("REF. UNIDADE:   GASTO: R$ ") + valor(gasto);
        if (limiteUnidade > Decimal::cents(0)) {
            s.linhaUnidade += QStringLiteral("    DISPONÍVEL: R$ ") + valor(limiteUnidade - gasto);
            if (gasto > limiteUnidade)
                bloqueia();
        }
    }

    if (!e.municipioConfigurado)
        s.finaliza = Saldos::Finaliza::Desabilitar;
    return s;
}
} // namespace

Saldos CalcSaldos(Transacao& tr, const EntradaSaldos& e)
{
    // All sums in one read.
    return Lendo(tr, [&] {
        tr.garanteAtiva();
        return calcula(tr, e);
    });
}

} // namespace vx
