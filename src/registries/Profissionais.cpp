#include "registries/Profissionais.h"
#include "core/Mensagens.h"
#include "core/UFunc.h"

namespace vx {

namespace {
const QString kTabelaLog = QStringLiteral("Profissionais");
}

RegistroLog GravaProfissional(Transacao& tr, Profissional& p, bool cumbel, const QDate& data)
{
    if (!cumbel)
        p.cnsBpa = p.cartaoSus;
    QString codigo;
    const RegistroLog log = EmTransacao(tr, [&](Consulta& q) {
        bool novo = true;
        if (CodigoVazio(p.codigo)) {
            codigo = QString::number(ProximoCodigo(q, QStringLiteral("profissionais")));
        } else {
            codigo = p.codigo.trimmed();
            novo = !ExisteLinha(q, QStringLiteral("profissionais"), QStringLiteral("codigo=") + SqlInteiro(codigo));
        }
        const QString c = SqlInteiro(codigo);
        if (novo)
            q.executa(QStringLiteral("insert into Profissionais (Codigo, Nome, Contato, Email, CPF, CartaoSUS, CNSBPA, "
                                     "Conselho, CBO, Obs) values(%1, %2, %3, %4, %5, %6, %7, %8, %9, %10)")
                          .arg(c, SqlTexto(p.nome), SqlTexto(p.contato), SqlTexto(p.email), SqlTexto(p.cpf),
                               SqlTexto(p.cartaoSus), SqlTexto(p.cnsBpa), SqlTexto(p.conselho), SqlTexto(p.cbo),
                               SqlTexto(p.obs)));
        else
            q.executa(QStringLiteral("update Profissionais set Nome=%1, contato=%2, email=%3, cpf=%4, cartaosus=%5, "
                                     "CNSBPA=%6, conselho=%7, cbo=%8, Obs=%9, DataExclusao=null where Codigo=%10")
                          .arg(SqlTexto(p.nome), SqlTexto(p.contato), SqlTexto(p.email), SqlTexto(p.cpf),
                               SqlTexto(p.cartaoSus), SqlTexto(p.cnsBpa), SqlTexto(p.conselho), SqlTexto(p.cbo),
                               SqlTexto(p.obs), c));
        if (!CodigoVazio(p.codEntidade)) {
            const QString e = SqlInteiro(p.codEntidade);
            const QString outras = QStringLiteral("CodProfissional=%1 and CodEntidade<>%2").arg(c, e);
            // Procedures offered through the links about to go are closed with them.
            // Rows already closed keep their date.
            FechaLinhas(q, QStringLiteral("PROFISSPROCED"), outras + QStringLiteral(" and DataExclusao is null"), data);
            q.executa(QStringLiteral("delete from entidadesprofiss where codprofissional=%1 and CodEntidade<>%2").arg(c, e));
            q.executa(QStringLiteral("update or insert into entidadesprofiss(codprofissional, codentidade) values(%1, %2)")
                          .arg(c, e));
        }
        return RegistroLog{kTabelaLog, novo ? QStringLiteral("I") : QStringLiteral("U"),
                           DescricaoLog(codigo, p.nome, 40) + QStringLiteral("  E") + p.codEntidade};
    });
    p.codigo = codigo;
    return log;
}

RegistroLog ExcluiProfissional(Transacao& tr, const QString& codigo, const QString& nome, const QDate& data)
{
    const QString c = codigo.trimmed();
    return EmTransacao(tr, [&](Consulta& q) {
        const QString sc = SqlInteiro(c);
        FechaLinhas(q, QStringLiteral("PROFISSIONAIS"), QStringLiteral("Codigo = ") + sc, data);
        FechaLinhas(q, QStringLiteral("ENTIDADESPROFISS"), QStringLiteral("CodProfissional=") + sc, data);
        FechaLinhas(q, QStringLiteral("PROFISSPROCED"), QStringLiteral("CodProfissional=") + sc, data);
        return RegistroLog{kTabelaLog, QStringLiteral("D"), DescricaoLog(c, nome, 20)};
    });
}

QString EntidadeDoProfissional(Transacao& tr, const QString& codigo)
{
    const QVector<LinhaCadastro> links = LeLinhas(
        tr, QStringLiteral("select codentidade from entidadesprofiss where codprofissional=") + SqlInteiro(codigo.trimmed()));
    if (links.size() < 2)
        return links.isEmpty() ? QString() : links.first().texto(QStringLiteral("CODENTIDADE"));
    Avisa(QStringLiteral("Profissional cadastrado em mais que uma Entidade!"));
    return {};
}

QString SqlEntidadesDoProfissional(const QString& codigo)
{
    return QStringLiteral("SELECT EP.CODENTIDADE AS COD, E.RAZAOSOCIAL AS ENTIDADE FROM ENTIDADESPROFISS EP "
                          "LEFT OUTER JOIN ENTIDADES E ON EP.CODENTIDADE=E.CODIGO "
                          "WHERE EP.CODPROFISSIONAL=%1 AND EP.DATAEXCLUSAO IS NULL ORDER BY E.RAZAOSOCIAL")
        .arg(SqlInteiro(codigo.trimmed()));
}

} // namespace vx
