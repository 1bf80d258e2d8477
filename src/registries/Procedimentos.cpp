#include "registries/Procedimentos.h"
#include "core/UFunc.h"

namespace vx {

namespace {
const QString kTabelaLog = QStringLiteral("Procedimentos");
const QString kTabelaLogGrupo = QStringLiteral("GruposProced");

QString codigoWhere(const QString& codigo)
{
    return QStringLiteral("Codigo=") + SqlInteiro(codigo);
}

// Inserts with the code typed, or with null and reads back the code the database assigned.
QString insere(Consulta& q, const QString& insert, const QString& codigo)
{
    if (!CodigoVazio(codigo)) {
        q.executa(insert);
        return codigo;
    }
    q.abre(insert + QStringLiteral(" returning Codigo"));
    const QString c = q.campo(0).texto();
    q.fecha();
    return c;
}

// 100 + index written with 4 decimals ("107.5000"), the factor of the adjustment statement.
QString FatorReajuste(const QString& indice)
{
    Decimal d;
    try {
        d = DecimalTexto(indice);
    } catch (const ErroValor&) {
        throw ErroValor(QStringLiteral("Índice de reajuste inválido: \"%1\".").arg(indice));
    }
    const qint64 inteiro = d.rescaled(0).unscaled();
    if (inteiro > 999999999 || inteiro < -999999999)
        throw ErroValor(QStringLiteral("Índice de reajuste inválido: \"%1\".").arg(indice));
    const Decimal indice4 = d.rescaled(4);
    if (indice4 != d)
        throw ErroValor(QStringLiteral("O índice de reajuste aceita no máximo 4 casas decimais."));
    return (Decimal::fromInt(100) + indice4).toSql();
}
} // namespace

QString QuantMaxGravada(const QString& quantMax)
{
    bool ok = false;
    const qint64 n = quantMax.trimmed().toLongLong(&ok);
    return quantMax.trimmed().isEmpty() || (ok && n < 1) ? QStringLiteral("1") : quantMax.trimmed();
}

RegistroLog GravaProcedimento(Transacao& tr, Procedimento& p)
{
    p.codigo = p.codigo.trimmed();
    p.quantMax = QuantMaxGravada(p.quantMax);
    return EmTransacao(tr, [&](Consulta& q) {
        const bool existe = !CodigoVazio(p.codigo) && ExisteLinha(q, QStringLiteral("PROCEDIMENTOS"), codigoWhere(p.codigo));
        const QString apac = SqlTexto(p.apac ? QStringLiteral("S") : QStringLiteral("N"));
        // Column and value pairs in the statement's order (joined, not chained through arg(): a
        // typed "%1" must stay text).
        const QStringList colunas{QStringLiteral("Nome"), QStringLiteral("CodGrupo"), QStringLiteral("RequerAPAC"),
                                  QStringLiteral("CBO"), QStringLiteral("QuantMax"), QStringLiteral("Valor"),
                                  QStringLiteral("ValorSUS"), QStringLiteral("ValorPopular"), QStringLiteral("Registro"),
                                  QStringLiteral("CodTabSUS")};
        const QStringList valores{SqlTexto(p.nome), SqlInteiro(p.codGrupo), apac, SqlTexto(p.cbo), SqlInteiro(p.quantMax),
                                  SqlDecimal(p.valor), SqlDecimal(p.valorSus), SqlDecimal(p.valorPopular),
                                  SqlTexto(p.registro), SqlTexto(p.codTabSus)};
        if (existe) {
            QStringList sets;
            for (int i = 0; i < colunas.size(); ++i)
                sets.append(colunas[i] + QLatin1Char('=') + valores[i]);
            q.executa(QStringLiteral("update Procedimentos set ") + sets.join(QStringLiteral(", ")) +
                      QStringLiteral(", DataExclusao=null where ") + codigoWhere(p.codigo));
        } else {
            const QString insert = QStringLiteral("insert into Procedimentos(Codigo, ") + colunas.join(QStringLiteral(", ")) +
                                   QStringLiteral(") values(") + SqlInteiro(p.codigo) + QStringLiteral(", ") +
                                   valores.join(QStringLiteral(", ")) + QLatin1Char(')');
            p.codigo = insere(q, insert, p.codigo);
        }
        return RegistroLog{kTabelaLog, existe ? QStringLiteral("U") : QStringLiteral("I"), DescricaoLog(p.codigo, p.nome, 40)};
    });
}

RegistroLog ExcluiProcedimento(Transacao& tr, const QString& codigo, const QString& nome, const QDate& data)
{
    const QString c = codigo.trimmed();
    return EmTransacao(tr, [&](Consulta& q) {
        FechaLinhas(q, QStringLiteral("PROCEDIMENTOS"), QStringLiteral("Codigo = ") + SqlInteiro(c), data);
        FechaLinhas(q, QStringLiteral("PROFISSPROCED"), QStringLiteral("CodProcedimento=") + SqlInteiro(c), data);
        return RegistroLog{kTabelaLog, QStringLiteral("D"), DescricaoLog(c, nome, 20)};
    });
}

RegistroLog ReajustaValores(Transacao& tr, const QString& indice, const QString& grupo)
{
    const QString fator = FatorReajuste(indice);
    const QString g = grupo.trimmed();
    const bool todos = CodigoVazio(g);
    const QString onde = todos ? QString() : QStringLiteral(" where CodGrupo=") + SqlInteiro(g);
    return EmTransacao(tr, [&](Consulta& q) {
        if (!todos && !ExisteLinha(q, QStringLiteral("GRUPOSPROCED"), codigoWhere(g)))
            throw ErroValor(QStringLiteral("Grupo %1 não cadastrado!").arg(g));
        // valor*F is exact at 6 decimals and /100 keeps them (dialect 3 scales), so round() sees
        // the exact product.
        q.executa(QStringLiteral("update procedimentos set valor = round(valor*%1/100, 2)%2").arg(fator, onde));
        q.abre(QStringLiteral("select first 1 Codigo, Valor from procedimentos where (valor > %1 or valor < -%1)%2")
                   .arg(kMaximoNumeric10_2.toSql(), todos ? QString() : QStringLiteral(" and CodGrupo=") + SqlInteiro(g)));
        if (!q.eof())
            throw ErroValor(QStringLiteral("O valor reajustado do procedimento %1 (%2) passa do limite de %3. "
                                           "Nenhum valor foi alterado.")
                                .arg(q.campo(0).texto(), FormataMoeda(q.campo(1).decimal()), FormataMoeda(kMaximoNumeric10_2)));
        q.fecha();
        const QString desc = todos ? QStringLiteral("Reajuste TODOS ") + indice
                                   : QStringLiteral("Reajuste GRUPO %1 ").arg(g) + indice;
        return RegistroLog{kTabelaLog, QStringLiteral("U"), desc};
    });
}

QString AvisoCodTabSus(Transacao& tr, const QString& codTabSus, const QString& codigo)
{
    if (codTabSus.trimmed().isEmpty())
        return {};
    bool ok = false;
    const qint64 atual = codigo.trimmed().toLongLong(&ok);
    const auto linhas =
        LeLinhas(tr, QStringLiteral("select Codigo, nome from procedimentos where codtabsus=") + SqlTexto(codTabSus));
    for (const LinhaCadastro& l : linhas) {
        const qint64 c = l[QStringLiteral("CODIGO")].inteiro();
        if (ok && c == atual)
            continue;
        return QStringLiteral("Código já informado para o procedimento: ") + ZerosEsquerda(c, 6) + QLatin1Char('-') +
               l.texto(QStringLiteral("NOME"));
    }
    return {};
}

RegistroLog GravaGrupo(Transacao& tr, QString& codigo, const QString& nome, const QString& grupoCobr)
{
    codigo = codigo.trimmed();
    return EmTransacao(tr, [&](Consulta& q) {
        const bool existe = !CodigoVazio(codigo) && ExisteLinha(q, QStringLiteral("GRUPOSPROCED"), codigoWhere(codigo));
        if (existe)
            q.executa(QStringLiteral("update GruposProced set Nome=%1, GrupoCobr=%2 where Codigo=%3")
                          .arg(SqlTexto(nome), SqlTexto(grupoCobr), SqlInteiro(codigo)));
        else
            codigo = insere(q,
                            QStringLiteral("insert into GruposProced(Codigo, Nome, GrupoCobr) values(%1, %2, %3)")
                                .arg(SqlInteiro(codigo), SqlTexto(nome), SqlTexto(grupoCobr)),
                            codigo);
        return RegistroLog{kTabelaLogGrupo, existe ? QStringLiteral("U") : QStringLiteral("I"), DescricaoLog(codigo, nome, 40)};
    });
}

RegistroLog ExcluiGrupo(Transacao& tr, const QString& codigo, const QString& nome)
{
    const QString c = codigo.trimmed();
    return EmTransacao(tr, [&](Consulta& q) {
        // No key guards PROCEDIMENTOS.CODGRUPO: a group in use is refused here.
        q.abre(QStringLiteral("select count(*) from procedimentos where CodGrupo=") + SqlInteiro(c));
        const qint64 usos = q.campo(0).inteiro();
        q.fecha();
        if (usos > 0)
            throw ErroValor(QStringLiteral("O grupo %1 não pode ser excluído: %2 procedimento(s) pertencem a ele.")
                                .arg(c)
                                .arg(usos));
        q.executa(QStringLiteral("delete from GruposProced where ") + codigoWhere(c));
        return RegistroLog{kTabelaLogGrupo, QStringLiteral("D"), DescricaoLog(c, nome, 40)};
    });
}

} // namespace vx
