// Receipts and bank slips of the billing screen's period: printed, then registered on request.
#include "billing/UiDocumentosFatura.h"
#include "billing/Documentos.h"
#include "billing/TFFaturamento.h"
#include "billing/TRBoleto.h"
#include "billing/TRImpRecibos.h"
#include "core/Configuracao.h"
#include "core/Mensagens.h"
#include "core/MenuPrincipal.h"
#include "core/UDMCune.h"
#include "core/widgets/TFMsgDifValores.h"
#include "core/widgets/TPersonBtn.h"
#include "core/widgets/TPersonEdit.h"

namespace vx {

namespace {

// The run of the billing screen as it stands; nullopt (with the reason shown) when there is none.
std::optional<CobrancaPeriodo> cobrancaDaTela(TFFaturamento* t)
{
    if (!t || t->modo() != ModoFaturamento::Municipio)
        return std::nullopt;
    if (!t->faturaProducao() && !t->faturaTaxas()) {
        Avisa(QStringLiteral("Consulte a fatura ou as taxas do período antes de emitir os documentos."));
        return std::nullopt;
    }
    CobrancaPeriodo c;
    c.inicio = t->PEData1()->data();
    c.fim = t->PEData2()->data();
    c.taxas = t->faturaTaxas();
    c.emissao = t->PEDataEmissao()->data();
    c.vencimento = t->PEDataVencimento()->data();
    c.descTaxas = t->PEDescTaxas() ? t->PEDescTaxas()->text() : QString();
    return c;
}

} // namespace

void EmiteRecibosFatura()
{
    TFFaturamento* t = InstanciaTela<TFFaturamento>();
    auto c = cobrancaDaTela(t);
    if (!c)
        return;
    TDMCUNE* dm = DMCUNE();
    const QString perfil = Geral::CONSORCIO();
    const RegrasFaturamento regras = RegrasFaturamento::DoPerfil(perfil);
    const IdentidadeConsorcio id = IdentidadeConsorcio::DaConfiguracao();
    SuspendeFechamento s(t);
    if (regras.cumbel || regras.culvar) {
        if (!c->emissao.isValid() || !c->vencimento.isValid()) {
            Avisa(QStringLiteral("Os campos [Data de Emissão] e [Data de Vencimento] devem ser devidamente preenchidos!"));
            return;
        }
        const int escolha = EscolhaDoisBotoes(QStringLiteral("Tipo de Recibo:"), QStringLiteral("Individual"),
                                              QStringLiteral("Todos os Municípios"));
        if (escolha == 0)
            return;
        if (escolha == 1) {
            c->municipio = t->codigoSelecionado();
            if (c->municipio.isEmpty()) {
                Avisa(QStringLiteral("Selecione o município na grade."));
                return;
            }
        }
        const QVector<AvisoEmpenho> avisos = AvisosFatura(dm->IBTLivre, *c, perfil);
        if (avisos.isEmpty()) {
            Informa(QStringLiteral("Não há recibos a emitir para o período."));
            return;
        }
        TRImpRecibosCumbel::Executa(avisos, id, perfil, t);
    } else {
        const QVector<Recibo> recibos = RecibosFatura(dm->IBTLivre, *c, id);
        if (recibos.isEmpty()) {
            Informa(QStringLiteral("Não há recibos a emitir para o período."));
            return;
        }
        TRImpRecibos::Executa(recibos, id, t);
    }
    if (!Pergunta(QStringLiteral("Gravar os recibos exibidos para controle de numeração?")))
        return;
    GravaRecibosFatura(dm->IBTransaction, *c);
    Informa(QStringLiteral("Gravação Concluída!"));
}

void EmiteBoletosFatura()
{
    TFFaturamento* t = InstanciaTela<TFFaturamento>();
    const auto c = cobrancaDaTela(t);
    if (!c)
        return;
    TDMCUNE* dm = DMCUNE();
    const auto conta = ContaDaCobranca(dm->IBTLivre, c->taxas);
    if (!conta) {
        Avisa(QStringLiteral("Nenhuma conta de boletos está marcada para ")
              + (c->taxas ? QStringLiteral("taxas") : QStringLiteral("produção")) + QStringLiteral("."));
        return;
    }
    const LoteBoletos lote = BoletosFatura(dm->IBTLivre, *c, *conta);
    if (lote.boletos.isEmpty()) {
        Informa(QStringLiteral("Não há boletos a emitir para o período."));
        return;
    }
    SuspendeFechamento s(t);
    TRBoleto::Executa(lote.boletos, QStringLiteral("Boletos"), t);
    if (!Pergunta(QStringLiteral("Gravar os boletos exibidos para controle de numeração?")))
        return;
    GravaBoletosFatura(dm->IBTransaction, *c, lote);
    Informa(QStringLiteral("Gravação concluída!"));
}

namespace {

// Runs from the billing screen's button: the button is off meanwhile and errors are shown.
void executa(TPersonBtn* (TFFaturamento::*botao)() const, void (*acao)())
{
    TFFaturamento* t = InstanciaTela<TFFaturamento>();
    ExecutaAcao(t ? (t->*botao)() : nullptr, acao);
}

const RegistroTelaEstatico registroRecibos(telas::FaturamentoRecibos, [] { executa(&TFFaturamento::PBRecibo, EmiteRecibosFatura); });
const RegistroTelaEstatico registroBoletos(telas::FaturamentoBoletos, [] { executa(&TFFaturamento::PBBoletos, EmiteBoletosFatura); });

} // namespace

} // namespace vx
