#include "reports/TRCadProcedimentos.h"
#include "core/Cadastro.h"
#include "core/UFunc.h"
#include "reports/RelCadastros.h"

#include <QSharedPointer>

namespace vx {

using namespace rel;

namespace {

const QString kValor = QStringLiteral("###,##0.00");

// Counts the rows it hands on.
class Contadas : public FonteDados {
public:
    Contadas(std::unique_ptr<FonteDados> dados, QSharedPointer<qint64> total)
        : m_dados(std::move(dados)), m_total(std::move(total))
    {
    }
    bool proxima(Linha& l) override
    {
        if (!m_dados->proxima(l))
            return false;
        ++*m_total;
        return true;
    }

private:
    std::unique_ptr<FonteDados> m_dados;
    QSharedPointer<qint64> m_total;
};

} // namespace

QString TRCadProcedimentos::Titulo() { return QStringLiteral("Listagem de Procedimentos Cadastrados"); }

std::unique_ptr<Relatorio> TRCadProcedimentos::Monta(Transacao& tr, const QString& grupo)
{
    auto r = std::make_unique<Relatorio>();
    QString grupos = QStringLiteral("SELECT G.CODIGO, G.NOME FROM GRUPOSPROCED G ");
    if (!CodigoVazio(grupo))
        grupos += QStringLiteral("WHERE G.CODIGO=") + SqlInteiro(grupo) + QLatin1Char(' ');
    r->dados = std::make_unique<DadosSql>(tr, grupos + QStringLiteral("ORDER BY G.CODIGO"));
    r->cabecalhoPadrao(NomeInstalacao(), Titulo(), QString());
    const double w = r->pagina.larguraUtilMm();
    const Fonte normal = r->fonteColunas;
    // The group's row, in bold; its procedures below it in the same columns.
    r->fonteColunas = normal.emNegrito();
    r->alturaLinha = 5.5;
    r->coluna(QStringLiteral("Código"), QStringLiteral("CODIGO"), 16);
    r->coluna(QStringLiteral("Procedimento"), QStringLiteral("NOME"), 0);
    r->coluna(QStringLiteral("Cód.Tab.SUS"), QString(), 34).calculada([](const Contexto&) { return QString(); });
    r->coluna(QStringLiteral("Valor"), QString(), 26, Alinha::Direita).calculada([](const Contexto&) { return QString(); });

    const auto total = QSharedPointer<qint64>::create(0);
    Secao& proc = r->filha([&tr, total](const Linha& grupo) -> std::unique_ptr<FonteDados> {
        return std::make_unique<Contadas>(
            std::make_unique<DadosSql>(tr, QStringLiteral("SELECT P.CODIGO, P.NOME, P.CODTABSUS, P.VALOR FROM PROCEDIMENTOS P "
                                                          "WHERE P.CODGRUPO=")
                                               + SqlCodigo(grupo.inteiro(QStringLiteral("CODIGO")))
                                               + QStringLiteral(" and P.DATAEXCLUSAO IS NULL ORDER BY P.NOME")),
            total);
    });
    const double h = 4.2;
    Banda& linha = proc.detalhe(h);
    linha.fundo = FundoZebrado;
    linha.campo(CelulaDaColuna(*r, 0, h), QStringLiteral("CODIGO")).com(normal);
    linha.campo(CelulaDaColuna(*r, 1, h), QStringLiteral("NOME")).com(normal);
    linha.campo(CelulaDaColuna(*r, 2, h), QStringLiteral("CODTABSUS")).com(normal);
    linha.campo(CelulaDaColuna(*r, 3, h), QStringLiteral("VALOR"), Formato::Auto, Alinha::Direita).com(normal).comMascara(kValor);
    proc.resumo = Banda(1.5);

    Banda& fim = r->resumo = Banda(9);
    fim.linha(QLineF(0, 1.5, w, 1.5), 0.2);
    fim.calculado(QRectF(0, 3, w, 4.6), [total](const Contexto&) {
        return QStringLiteral("Procedimentos listados: ") + FormataInteiro(*total);
    }).com(normal.tamanho(9).emNegrito());
    return r;
}

std::shared_ptr<Documento> TRCadProcedimentos::Gera(Transacao& tr, const QString& grupo) { return MontaDocumento(*Monta(tr, grupo)); }

} // namespace vx
