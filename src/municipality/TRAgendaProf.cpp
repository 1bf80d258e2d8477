#include "municipality/TRAgendaProf.h"
#include "core/Cadastro.h"
#include "core/UFunc.h"
#include "core/UVariaveis.h"
#include "reports/RelCadastros.h"
#include "reports/UiPreview.h"

namespace vx {

using namespace rel;

namespace {

QString nomeProfissional(Transacao& tr, qint64 profissional)
{
    const auto l = LeLinha(tr, QStringLiteral("select nome from profissionais where codigo=") + SqlCodigo(profissional));
    return l ? l->texto(QStringLiteral("NOME")) : QString();
}

} // namespace

QString TRAgendaProf::Titulo() { return QStringLiteral("Controle de Agendamento"); }

std::unique_ptr<Relatorio> TRAgendaProf::Monta(Transacao& tr, qint64 profissional, const QString& nome)
{
    auto r = std::make_unique<Relatorio>();
    r->dados = std::make_unique<DadosSql>(
        tr, QStringLiteral(" select d.codprofissional, d.data, d.quantdispo, (select count(*) from agenda a where "
                           "d.codprofissional=a.codprofissional and d.data=a.data) as Agendados  from ag_dispo d  where "
                           "d.codprofissional=%1 and d.data >= current_date order by d.data")
                .arg(SqlCodigo(profissional)));
    r->cabecalhoPadrao(SessaoAtual().PerfilConsorcio.toUpper(), Titulo(),
                       QStringLiteral("Profissional: ") + ZerosEsquerda(profissional, 5) + QStringLiteral(" - ") + nome);
    const Fonte negrito = r->fonteColunas.tamanho(9).emNegrito();

    // The day: a grey strip with its places and bookings.
    Banda& dia = r->detalhe(7);
    dia.fundo = [](const Contexto&) { return QColor(0xE6, 0xE6, 0xE6); };
    dia.texto(QRectF(1, 1.2, 55, 4.8), QStringLiteral("Data: {DATA}")).com(negrito);
    dia.calculado(QRectF(60, 1.2, 45, 4.8), [](const Contexto& c) {
        return QStringLiteral("Máximo: ") + c.campo(QStringLiteral("QUANTDISPO"));
    }).com(negrito);
    dia.texto(QRectF(110, 1.2, 45, 4.8), QStringLiteral("Agendados: {AGENDADOS}")).com(negrito);

    Secao& agenda = r->filha(SubLista(tr, [](const Linha& d) {
        return QStringLiteral(" select a.*, p.nome as nomepessoa, p.cartaosus, c.nome as nomecidade from agenda a "
                              " left outer join pessoas p on a.cli_origem=p.cli_origem and a.codpessoa=p.codigo "
                              " left outer join clientes c on a.cli_origem=c.codigo "
                              " where a.codprofissional=%1 and a.data=%2 order by p.nome")
            .arg(SqlCodigo(d.inteiro(QStringLiteral("CODPROFISSIONAL"))), SqlData(d.data(QStringLiteral("DATA"))));
    }));
    agenda.zebrado = true;
    agenda.coluna(QStringLiteral("Id"), QStringLiteral("ID_AGENDA"), 16, Alinha::Direita).formatado(Formato::Texto);
    agenda.coluna(QString(), QString(), 3).calculada([](const Contexto&) { return QString(); });
    agenda.coluna(QStringLiteral("Paciente"), QStringLiteral("NOMEPESSOA"), 0);
    agenda.coluna(QStringLiteral("Município"), QStringLiteral("NOMECIDADE"), 55);
    agenda.coluna(QStringLiteral("Cartão SUS"), QStringLiteral("CARTAOSUS"), 36);
    agenda.resumo = Banda(3);
    return r;
}

std::shared_ptr<Documento> TRAgendaProf::Gera(Transacao& tr, qint64 profissional)
{
    auto r = Monta(tr, profissional, nomeProfissional(tr, profissional));
    return MontaDocumento(*r);
}

bool TRAgendaProf::Executa(Transacao& tr, qint64 profissional, QWidget* pai)
{
    auto r = Monta(tr, profissional, nomeProfissional(tr, profissional));
    return MostraRelatorio(*r, Titulo(), pai);
}

} // namespace vx
