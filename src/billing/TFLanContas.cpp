#include "billing/TFLanContas.h"
#include "core/TFProcura.h"
#include "core/UDMCune.h"
#include "core/UFunc.h"
#include "core/widgets/TPersonBtn.h"

#include <QLabel>

namespace vx {

TFLanContas::TFLanContas(const char* nome, const QString& titulo, Livro livro, QWidget* parent)
    : TFCadastro(nome, titulo, DefinicaoDe(livro).tabela, {}, parent)
    , m_livro(livro)
{
    using E = TPersonEdit;
    m_id = novoCampo("PEID", E::peTexto, QStringLiteral("ID:"), 10);
    m_id->setToolTip(QStringLiteral("Deixe em branco para incluir um novo lançamento"));
    LigaCodigo(m_id, nullptr, nullptr, {}, [this] { PEIDExit(); });

    if (livro == Livro::Receber) {
        m_codigo = novoCampoReferencia("PECodMunicipio", QStringLiteral("Município:"), 7, "LMunicipio",
                                       {QStringLiteral("Clientes"), QStringLiteral("codigo"), QStringLiteral("Nome"), [] {
                                            return ProcuraSimples(QStringLiteral("codigo"), QStringLiteral("Nome"),
                                                                  QStringLiteral("Clientes"));
                                        }},
                                       Requerido);
        m_nome = findChild<QLabel*>(QStringLiteral("LMunicipio"));
    } else {
        m_codigo = novoCampoReferencia("PECodEntidade", QStringLiteral("Entidade:"), 7, "LEntidade",
                                       {QStringLiteral("Entidades"), QStringLiteral("codigo"), QStringLiteral("RazaoSocial"), [] {
                                            return ProcuraSimples(QStringLiteral("codigo"), QStringLiteral("RazaoSocial"),
                                                                  QStringLiteral("Entidades"));
                                        }},
                                       Requerido);
        m_nome = findChild<QLabel*>(QStringLiteral("LEntidade"));
    }
    liga(m_codigo, DefinicaoDe(livro).colunaCodigo);
    // The column holds 20 characters: fee origins ("TAXA" + yyyy-mm) are longer than 10.
    m_origem = novoCampo("PEOrigem", E::peTexto, QStringLiteral("Origem:"), 20);
    m_dataDebito = novoCampo("PEDataDebito", E::peData, QStringLiteral("Data Débito:"), 0, Requerido);
    m_dataVencimento = novoCampo("PEDataVencimento", E::peData, QStringLiteral("Data Venc.:"), 0, Requerido | MesmaLinha);
    m_valorDebito = novoCampo("PEValorDebito", E::peFloat, QStringLiteral("Valor Débito:"), 0, Requerido);
    m_docDebito = novoCampo("PEDocDebito", E::peTexto, QStringLiteral("Doc. Débito:"), 10, MesmaLinha);
    m_dataPgto = novoCampo("PEDataPgto", E::peData, QStringLiteral("Data Pgto.:"), 0);
    m_valorPgto = novoCampo("PEValorPgto", E::peFloat, QStringLiteral("Valor Pgto.:"), 0);
    m_docPgto = novoCampo("PEDocPgto", E::peTexto, QStringLiteral("Doc. Pgto.::"), 10, MesmaLinha);
    m_historico = novoCampo("PEHistorico", E::peTexto, QStringLiteral("Histórico:"), 100);
    m_obs = novoCampo("PEObs", E::peTexto, QStringLiteral("Obs:"), 100);
    for (const auto& [campo, coluna] : {std::pair{m_origem, "ORIGEM"}, std::pair{m_dataDebito, "DATADEBITO"},
                                        std::pair{m_dataVencimento, "DATAVENCIMENTO"},
                                        std::pair{m_valorDebito, "VALORDEBITO"}, std::pair{m_docDebito, "DOCDEBITO"},
                                        std::pair{m_dataPgto, "DATAPGTO"}, std::pair{m_valorPgto, "VALORPGTO"},
                                        std::pair{m_docPgto, "DOCPGTO"}, std::pair{m_historico, "HISTORICO"},
                                        std::pair{m_obs, "OBS"}})
        liga(campo, QLatin1String(coluna));
    PBtnGravar()->setText(QStringLiteral("Gravar"));
    concluiTela();
}

void TFLanContas::showEvent(QShowEvent* ev)
{
    TFCadastro::showEvent(ev);
    m_id->setFocus();
}

void TFLanContas::PEIDExit()
{
    const QString id = m_id->text().trimmed();
    LimpaEdits();
    m_id->setText(id);
    TDMCUNE* dm = DMCUNE();
    if (id.isEmpty() || !dm)
        return;
    std::optional<LinhaCadastro> linha;
    try {
        linha = LeLancamento(dm->IBTLivre, m_livro, id);
    } catch (const std::exception& e) {
        MostraExcecao(e, QStringLiteral("Erro, verifique os dados digitados."));
        m_id->setFocus();
        return;
    }
    if (linha) {
        mostraLinha(*linha);
        atualizaReferencias();
    }
}

LancamentoConta TFLanContas::Lancamento() const
{
    return {m_id->text(),         m_codigo->text(),    m_origem->text(),    m_dataDebito->text(),
            m_dataVencimento->text(), m_valorDebito->text(), m_docDebito->text(), m_dataPgto->text(),
            m_valorPgto->text(),  m_docPgto->text(),   m_historico->text(), m_obs->text()};
}

void TFLanContas::PBtnGravarClick()
{
    TDMCUNE* dm = DMCUNE();
    if (!dm)
        return;
    if (acaoRegistro(PBtnGravar(), [&] { GravaLancamento(dm->IBTransaction, m_livro, Lancamento()); }))
        m_id->setFocus();
}

void TFLanContas::PBtnExcluirClick()
{
    TDMCUNE* dm = DMCUNE();
    if (!dm || !confirmaExclusao() || m_id->text().trimmed().isEmpty())
        return;
    if (acaoRegistro(PBtnExcluir(), [&] { ExcluiLancamento(dm->IBTransaction, m_livro, Lancamento()); }))
        m_id->setFocus();
}

} // namespace vx
