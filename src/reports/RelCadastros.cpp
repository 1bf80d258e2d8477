#include "reports/RelCadastros.h"
#include "core/Cadastro.h"
#include "core/UFunc.h"
#include "core/UVariaveis.h"

namespace vx {

double MargemCadastros() { return SessaoAtual().UsuarioInstalacao == QLatin1String("CUNE") ? 50 : 20; }

void AplicaMargemCadastros(rel::Pagina& pagina) { pagina.margens.setTop(MargemCadastros()); }

QColor FundoExcluido(const rel::Contexto& c)
{
    return c.linha && c.linha->valor(QStringLiteral("DATAEXCLUSAO")).isValid() ? QColor(Qt::yellow) : QColor();
}

QString EntidadeDaInstalacao(Transacao& tr)
{
    if (PapelInstalacao() == QLatin1Char('E'))
        return CodigoInstalacao().trimmed();
    if (PapelInstalacao() != QLatin1Char('P'))
        return {};
    const auto l = LeLinha(tr, QStringLiteral("select first 1 codentidade from entidadesprofiss where codprofissional=")
                                   + SqlInteiro(CodigoInstalacao()) + QStringLiteral(" order by dataexclusao nulls first, codentidade"));
    return l ? l->texto(QStringLiteral("CODENTIDADE")) : QString();
}

QRectF CelulaDaColuna(const rel::Relatorio& r, int coluna, double altura)
{
    const auto pos = rel::PosicoesColunas(r.colunas, r.pagina.larguraUtilMm()).at(coluna);
    return QRectF(pos.first, 0, pos.second - 0.8, altura);
}

QColor FundoZebrado(const rel::Contexto& c) { return c.indice % 2 == 1 ? QColor(0xE6, 0xE6, 0xE6) : QColor(); }

QString SqlCodigo(qint64 codigo) { return QString::number(codigo); }

std::function<std::unique_ptr<rel::FonteDados>(const rel::Linha&)> SubLista(Transacao& tr, SqlDoMestre sql)
{
    return [&tr, sql = std::move(sql)](const rel::Linha& mestre) -> std::unique_ptr<rel::FonteDados> {
        return std::make_unique<rel::DadosSql>(tr, sql(mestre));
    };
}

} // namespace vx
