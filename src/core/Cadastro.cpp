#include "core/Cadastro.h"
#include "core/RegistraLog.h"
#include "core/UDMCune.h"
#include "core/UFunc.h"
#include "core/UProcuraNome.h"

namespace vx {

LinhaCadastro::LinhaCadastro(const Consulta& q)
{
    for (int i = 0; i < q.numCampos(); ++i)
        m_campos.insert(q.campo(i).nome.toUpper(), q.campo(i));
}

const Campo& LinhaCadastro::operator[](const QString& coluna) const
{
    static const Campo nulo;
    const auto it = m_campos.constFind(coluna.toUpper());
    return it == m_campos.constEnd() ? nulo : it.value();
}


std::optional<LinhaCadastro> LeLinha(Transacao& tr, const QString& sql)
{
    return Lendo(tr, [&]() -> std::optional<LinhaCadastro> {
        Consulta q(tr);
        q.abre(sql);
        if (q.eof())
            return std::nullopt;
        LinhaCadastro l(q);
        q.fecha();
        return l;
    });
}

QVector<LinhaCadastro> LeLinhas(Transacao& tr, const QString& sql)
{
    return Lendo(tr, [&] {
        QVector<LinhaCadastro> r;
        Consulta q(tr);
        for (q.abre(sql); !q.eof(); q.proximo())
            r.append(LinhaCadastro(q));
        q.fecha();
        return r;
    });
}

RegistroLog EmTransacao(Transacao& tr, const std::function<RegistroLog(Consulta&)>& passos)
{
    tr.inicia();
    try {
        RegistroLog log;
        {
            Consulta q(tr);
            log = passos(q);
            if (!log.tabela.isEmpty())
                RegistraLog(q, log.tabela, log.situacao, log.descricao);
        }
        tr.commit();
        return log;
    } catch (...) {
        if (tr.ativa())
            tr.rollback();
        throw;
    }
}

QString DescricaoLog(const QString& codigo, const QString& nome, int n)
{
    return codigo + QLatin1Char('-') + nome.left(n);
}

QString SqlDataExclusao(const QDate& data)
{
    return QLatin1Char('\'') + data.toString(QStringLiteral("MM/dd/yyyy")) + QLatin1Char('\'');
}

void FechaLinhas(Consulta& q, const QString& tabela, const QString& condicao, const QDate& data)
{
    q.executa(QStringLiteral("UPDATE %1 SET DATAEXCLUSAO=%2 where %3").arg(tabela, SqlDataExclusao(data), condicao));
}

QString AvisoExclusao(const QString& prefixo, const LinhaCadastro& linha)
{
    const Campo& d = linha[QStringLiteral("DATAEXCLUSAO")];
    if (d.nulo)
        return {};
    return prefixo + TextoData(d.data());
}

qint64 ProximoCodigo(Consulta& q, const QString& tabela)
{
    q.abre(QStringLiteral("select max(codigo) as codigo from %1").arg(tabela));
    const qint64 r = q.eof() || q.campo(0).nulo ? 1 : q.campo(0).inteiro() + 1;
    q.fecha();
    return r;
}

bool ExisteLinha(Consulta& q, const QString& tabela, const QString& condicao)
{
    q.abre(QStringLiteral("select * from %1 where %2").arg(tabela, condicao));
    const bool r = !q.eof();
    q.fecha();
    return r;
}

QString NomeLivre(const QString& codigo, const QString& chave, const QString& nome, const QString& tabela)
{
    TDMCUNE* dm = DMCUNE();
    if (!dm)
        return {};
    return Lendo(dm->IBTLivre, [&] {
        Consulta q(dm->IBTLivre);
        return NomePorCodigo(q, codigo, chave, nome, tabela);
    });
}

} // namespace vx
