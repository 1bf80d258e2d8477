#include "registries/Entidades.h"
#include "core/UFunc.h"

namespace vx {

namespace {

// Mended: a link to an entity, professional or procedure that is not registered would leave an
// orphan row (no foreign keys here); the action is refused instead.
void exigeLinha(Consulta& q, const QString& tabela, const QString& codigo, const QString& mensagem)
{
    if (!ExisteLinha(q, tabela, QStringLiteral("codigo=") + SqlInteiro(codigo)))
        throw ErroValor(mensagem);
}

void exigeCodigo(const QString& codigo, const QString& mensagem)
{
    if (CodigoVazio(codigo))
        throw ErroValor(mensagem);
}

QString marca(bool v)
{
    return v ? QStringLiteral("'S'") : QStringLiteral("'N'");
}

} // namespace

RegistroLog GravaEntidade(Transacao& tr, Entidade& e)
{
    QString codigo;
    const RegistroLog log = EmTransacao(tr, [&](Consulta& q) {
        bool novo = true;
        if (CodigoVazio(e.codigo)) {
            codigo = QString::number(ProximoCodigo(q, QStringLiteral("entidades")));
        } else {
            codigo = e.codigo.trimmed();
            novo = !ExisteLinha(q, QStringLiteral("entidades"), QStringLiteral("codigo=") + SqlInteiro(codigo));
        }
        const QStringList valores{
            SqlTexto(e.razaoSocial), SqlTexto(e.nomeFantasia), SqlTexto(e.endereco), SqlTexto(e.codMun),
            SqlTexto(e.cep), SqlTexto(e.contato), SqlTexto(e.fones), SqlTexto(e.fax), SqlTexto(e.email),
            SqlTexto(e.cnpj.toUpper()), SqlTexto(e.cpf), SqlTexto(e.ie), SqlTexto(e.cnes), SqlDecimal(e.issqn),
            SqlDecimal(e.pis), SqlDecimal(e.cofins), SqlDecimal(e.csll), SqlTexto(e.codContabil), SqlTexto(e.banco),
            SqlTexto(e.infoBanc), SqlTexto(e.agencia), SqlTexto(e.conta), marca(e.isentoIR), marca(e.simplesNac),
            marca(e.ocultarMunic), SqlData(e.dataIniContrato), SqlData(e.dataRenovContrato),
            SqlData(e.dataVencContrato), SqlTexto(e.obs)};
        static const QStringList colunas =
            QStringLiteral("RazaoSocial, NomeFantasia, Endereco, Codmun, CEP, Contato, Fones, Fax, Email, CNPJ, CPF, IE, "
                           "CNES, ISSQN, PIS, COFINS, CSLL, CodContabil, Banco, InfoBanc, Agencia, Conta, IsentoIR, "
                           "SimplesNac, OcultarMunic, DataIniContrato, DataRenovContrato, DataVencContrato, Obs")
                .split(QStringLiteral(", "));
        const QString c = SqlInteiro(codigo);
        if (novo) {
            q.executa(QStringLiteral("insert into Entidades (Codigo, ") + colunas.join(QStringLiteral(", ")) +
                      QStringLiteral(") values(") + c + QStringLiteral(", ") + valores.join(QStringLiteral(", ")) +
                      QStringLiteral(")"));
        } else {
            QStringList pares;
            for (int i = 0; i < colunas.size(); ++i)
                pares << colunas[i] + QLatin1Char('=') + valores[i];
            q.executa(QStringLiteral("update Entidades set ") + pares.join(QStringLiteral(", ")) +
                      QStringLiteral(", DataExclusao=null where Codigo=") + c);
        }
        return RegistroLog{QStringLiteral("Entidades"), novo ? QStringLiteral("I") : QStringLiteral("U"),
                           DescricaoLog(codigo, e.razaoSocial, 40)};
    });
    e.codigo = codigo;
    return log;
}

RegistroLog ExcluiEntidade(Transacao& tr, const QString& codigo, const QString& razaoSocial, const QDate& data)
{
    const QString c = codigo.trimmed();
    return EmTransacao(tr, [&](Consulta& q) {
        const QString sc = SqlInteiro(c);
        FechaLinhas(q, QStringLiteral("ENTIDADES"), QStringLiteral("CODIGO=") + sc, data);
        FechaLinhas(q, QStringLiteral("ENTIDADESPROFISS"), QStringLiteral("CodEntidade=") + sc, data);
        FechaLinhas(q, QStringLiteral("PROFISSPROCED"), QStringLiteral("CodEntidade=") + sc, data);
        return RegistroLog{QStringLiteral("Entidades"), QStringLiteral("D"), DescricaoLog(c, razaoSocial, 20)};
    });
}

RegistroLog IncluiProfissionalEntidade(Transacao& tr, const QString& entidade, const QString& profissional)
{
    exigeCodigo(entidade, QStringLiteral("Grave a entidade antes de incluir seus profissionais."));
    exigeCodigo(profissional, QStringLiteral("Informe o código do profissional."));
    return EmTransacao(tr, [&](Consulta& q) {
        exigeLinha(q, QStringLiteral("entidades"), entidade, QStringLiteral("Grave a entidade antes de incluir seus profissionais."));
        exigeLinha(q, QStringLiteral("profissionais"), profissional, QStringLiteral("Profissional não cadastrado."));
        q.executa(QStringLiteral("update or insert into EntidadesProfiss(CodEntidade, CodProfissional, DataExclusao) "
                                 "values(%1,%2,null)")
                      .arg(SqlInteiro(entidade), SqlInteiro(profissional)));
        return RegistroLog{QStringLiteral("EntidadesProfiss"), QStringLiteral("I"),
                           entidade.trimmed() + QLatin1Char('-') + profissional.trimmed()};
    });
}

RegistroLog ExcluiProfissionalEntidade(Transacao& tr, const QString& entidade, const QString& profissional,
                                       const QDate& data)
{
    return EmTransacao(tr, [&](Consulta& q) {
        const QString par = QStringLiteral("CodEntidade=%1 and CodProfissional=%2")
                                .arg(SqlInteiro(entidade), SqlInteiro(profissional));
        FechaLinhas(q, QStringLiteral("ENTIDADESPROFISS"), par, data);
        FechaLinhas(q, QStringLiteral("PROFISSPROCED"), par, data);
        return RegistroLog{QStringLiteral("EntidadeProfiss"), QStringLiteral("D"),
                           entidade.trimmed() + QLatin1Char('-') + profissional.trimmed()};
    });
}

RegistroLog IncluiProcedimentoProfissional(Transacao& tr, const QString& entidade, const QString& profissional,
                                           const QString& codigo, bool grupo)
{
    exigeCodigo(entidade, QStringLiteral("Grave a entidade antes de incluir seus procedimentos."));
    exigeCodigo(profissional, QStringLiteral("Selecione na lista o profissional do procedimento."));
    exigeCodigo(codigo, grupo ? QStringLiteral("Informe o código do grupo.") : QStringLiteral("Informe o código do procedimento."));
    const QString e = SqlInteiro(entidade), p = SqlInteiro(profissional), c = SqlInteiro(codigo);
    return EmTransacao(tr, [&](Consulta& q) {
        if (!ExisteLinha(q, QStringLiteral("entidadesprofiss"),
                         QStringLiteral("codentidade=%1 and codprofissional=%2 and dataexclusao is null").arg(e, p)))
            throw ErroValor(QStringLiteral("Selecione na lista o profissional do procedimento."));
        const QString insere = QStringLiteral("update or insert into ProfissProced(CodEntidade, CodProfissional, "
                                              "CodProcedimento, DataExclusao) values(%1,%2,%3,null)");
        QString descricao = entidade.trimmed() + QLatin1Char('-') + profissional.trimmed();
        if (grupo) {
            const QVector<LinhaCadastro> procs = LeLinhas(
                q.transacao(), QStringLiteral("select codigo from procedimentos where codgrupo=%1 and DATAEXCLUSAO IS NULL").arg(c));
            for (const LinhaCadastro& l : procs)
                q.executa(insere.arg(e, p, SqlInteiro(l.texto(QStringLiteral("CODIGO")))));
            descricao += QStringLiteral("-Grupo:") + codigo.trimmed();
        } else {
            exigeLinha(q, QStringLiteral("procedimentos"), codigo, QStringLiteral("Procedimento não cadastrado."));
            q.executa(insere.arg(e, p, c));
            descricao += QLatin1Char('-') + codigo.trimmed();
        }
        return RegistroLog{QStringLiteral("ProfissProced"), QStringLiteral("I"), descricao};
    });
}

RegistroLog ExcluiProcedimentoProfissional(Transacao& tr, const QString& entidade, const QString& profissional,
                                           const QString& codigo, bool grupo, const QDate& data)
{
    const QString e = SqlInteiro(entidade), p = SqlInteiro(profissional), c = SqlInteiro(codigo);
    return EmTransacao(tr, [&](Consulta& q) {
        q.executa(QStringLiteral("UPDATE PROFISSPROCED PP SET PP.DATAEXCLUSAO=%1 where PP.CodEntidade=%2 and "
                                 "PP.CodProfissional=%3 and ")
                      .arg(SqlDataExclusao(data), e, p) +
                  (grupo ? QStringLiteral("(select codgrupo from procedimentos P where pp.codprocedimento=p.codigo)=")
                         : QStringLiteral("PP.CodProcedimento=")) +
                  c);
        return RegistroLog{QStringLiteral("ProfissProced"), QStringLiteral("D"),
                           entidade.trimmed() + QLatin1Char('-') + profissional.trimmed() +
                               (grupo ? QStringLiteral("-Grupo:") : QStringLiteral("-")) + codigo.trimmed()};
    });
}

QString SqlProfissionaisDaEntidade(const QString& entidade)
{
    return QStringLiteral("SELECT EP.CODPROFISSIONAL, P.NOME FROM ENTIDADESPROFISS EP "
                          "LEFT OUTER JOIN PROFISSIONAIS P ON EP.CODPROFISSIONAL=P.CODIGO "
                          "WHERE EP.CODENTIDADE=%1 AND EP.DataExclusao IS NULL ORDER BY P.NOME")
        .arg(SqlInteiro(entidade));
}

QString SqlProcedimentosDoProfissional(const QString& entidade, const QString& profissional)
{
    return QStringLiteral("SELECT PP.CODPROCEDIMENTO, P.NOME, P.VALOR FROM PROFISSPROCED PP "
                          "LEFT OUTER JOIN PROCEDIMENTOS P ON PP.CODPROCEDIMENTO=P.CODIGO "
                          "WHERE PP.CODENTIDADE=%1 AND PP.CODPROFISSIONAL=%2 AND PP.DataExclusao IS NULL "
                          "ORDER BY P.NOME")
        .arg(SqlInteiro(entidade), SqlInteiro(profissional));
}

} // namespace vx
