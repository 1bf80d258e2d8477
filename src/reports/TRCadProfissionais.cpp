#include "reports/TRCadProfissionais.h"
#include "core/Cadastro.h"
#include "core/UFunc.h"
#include "core/UVariaveis.h"
#include "reports/RelCadastros.h"

namespace vx {

using namespace rel;

namespace {

const QString kValor = QStringLiteral("###,##0.00");
const QColor kCinzaClaro(0xE0, 0xE0, 0xE0);

QString sqlEntidades(const FiltroCadProfissionais& f)
{
    QString s = QStringLiteral("SELECT E.CODIGO, E.RAZAOSOCIAL, E.ENDERECO || ' - ' || COALESCE(I.CIDADE, '') AS ENDERECO, E.CNPJ, "
                               "E.FONES, E.CNES, E.DATAEXCLUSAO FROM ENTIDADES E "
                               "LEFT OUTER JOIN IBGEMUNIC I ON E.CODMUN=I.CODIGO "
                               "WHERE E.CODIGO > 0 ");
    if (!CodigoVazio(f.entidade))
        s += QStringLiteral("AND E.CODIGO=") + SqlInteiro(f.entidade) + QLatin1Char(' ');
    if (!f.excluidos)
        s += QStringLiteral("AND E.DATAEXCLUSAO IS NULL ");
    if (!f.ocultos)
        s += QStringLiteral("AND (E.OCULTARMUNIC IS NULL OR E.OCULTARMUNIC <> 'S') ");
    return s + (f.porNome ? QStringLiteral("ORDER BY RAZAOSOCIAL") : QStringLiteral("ORDER BY CODIGO"));
}

QString sqlProfissionais(const Linha& entidade, bool excluidos)
{
    return QStringLiteral("SELECT EP.CODENTIDADE, EP.CODPROFISSIONAL, EP.DATAEXCLUSAO, P.NOME, P.CONTATO, P.CBO, "
                          "C.DESCRICAO AS DESCCBO FROM ENTIDADESPROFISS EP "
                          "INNER JOIN PROFISSIONAIS P ON EP.CODPROFISSIONAL=P.CODIGO "
                          "LEFT OUTER JOIN CBO C ON P.CBO=C.CODIGO "
                          "WHERE EP.CODENTIDADE=")
           + SqlCodigo(entidade.inteiro(QStringLiteral("CODIGO")))
           + QStringLiteral(" AND (P.CBO IS NULL OR P.CBO<>'324115') ")
           + (excluidos ? QString() : QStringLiteral("AND EP.DATAEXCLUSAO IS NULL "))
           + QStringLiteral("ORDER BY P.NOME");
}

// Groups left out of the procedures at the CUNE consortium.
QString gruposForaCune(bool cune)
{
    return cune ? QStringLiteral("AND P.CODGRUPO<>02 AND P.CODGRUPO<>03 AND P.CODGRUPO<>05 AND P.CODGRUPO<>06 "
                                 "AND P.CODGRUPO<>08 AND P.CODGRUPO<>09 AND P.CODGRUPO<>13 AND P.CODGRUPO<>15 "
                                 "AND P.CODGRUPO<>22 ")
                : QString();
}

// Entity and professional of a professional's or group's row.
QString doProfissional(const Linha& l)
{
    return QStringLiteral("WHERE PP.CODENTIDADE=") + SqlCodigo(l.inteiro(QStringLiteral("CODENTIDADE")))
           + QStringLiteral(" AND PP.CODPROFISSIONAL=") + SqlCodigo(l.inteiro(QStringLiteral("CODPROFISSIONAL")))
           + QLatin1Char(' ');
}

QString sqlGrupos(const Linha& profissional, bool excluidos, bool cune)
{
    return QStringLiteral("SELECT DISTINCT(P.CODGRUPO) AS CODGRUPO, G.NOME, PP.CODENTIDADE, PP.CODPROFISSIONAL "
                          "FROM PROFISSPROCED PP "
                          "INNER JOIN PROCEDIMENTOS P ON PP.CODPROCEDIMENTO=P.CODIGO "
                          "LEFT OUTER JOIN GRUPOSPROCED G ON P.CODGRUPO=G.CODIGO ")
           + doProfissional(profissional) + (excluidos ? QString() : QStringLiteral("AND PP.DATAEXCLUSAO IS NULL "))
           + gruposForaCune(cune) + QStringLiteral("ORDER BY P.CODGRUPO");
}

QString sqlProcedimentos(const Linha& grupo, bool excluidos, bool cune)
{
    const QVariant g = grupo.valor(QStringLiteral("CODGRUPO"));
    return QStringLiteral("SELECT PP.CODPROCEDIMENTO, P.NOME, P.CODTABSUS, P.VALOR, PP.DATAEXCLUSAO "
                          "FROM PROFISSPROCED PP "
                          "INNER JOIN PROCEDIMENTOS P ON PP.CODPROCEDIMENTO=P.CODIGO ")
           + doProfissional(grupo)
           + (g.isValid() ? QStringLiteral("AND P.CODGRUPO=") + SqlCodigo(g.toLongLong()) : QStringLiteral("AND P.CODGRUPO IS NULL"))
           + QLatin1Char(' ') + (excluidos ? QString() : QStringLiteral("AND PP.DATAEXCLUSAO IS NULL "))
           + gruposForaCune(cune) + QStringLiteral("ORDER BY P.NOME");
}

} // namespace

QString TRCadProfissionais::Titulo() { return QStringLiteral("Listagem de Entidades e Profissionais Cadastrados"); }

std::unique_ptr<Relatorio> TRCadProfissionais::Monta(Transacao& tr, const FiltroCadProfissionais& f)
{
    auto r = std::make_unique<Relatorio>();
    AplicaMargemCadastros(r->pagina);
    r->dados = std::make_unique<DadosSql>(tr, sqlEntidades(f));
    r->cabecalhoPadrao(NomeInstalacao(), Titulo(), QString());
    const double w = r->pagina.larguraUtilMm();
    const Fonte normal = r->fonteColunas;

    // The entity's row in bold with its address below; its professionals, their groups and
    // procedures below it, in the same columns.
    r->fonteColunas = normal.tamanho(9).emNegrito();
    r->alturaLinha = 6;
    r->coluna(QStringLiteral("Código"), QStringLiteral("CODIGO"), 14);
    r->coluna(QStringLiteral("Nome"), QStringLiteral("RAZAOSOCIAL"), 0).comFundo(FundoExcluido);
    r->coluna(QStringLiteral("Contato"), QStringLiteral("FONES"), 40);
    r->coluna(QStringLiteral("CBO / Cód.Tab.SUS"), QString(), 56).calculada([](const Contexto&) { return QString(); });
    r->coluna(QStringLiteral("Valor"), QString(), 22, Alinha::Direita).calculada([](const Contexto&) { return QString(); });
    const QRectF nome = CelulaDaColuna(*r, 1, 4.2);
    Banda& endereco = r->detalhe(5);
    endereco.texto(QRectF(nome.left(), 0, w - nome.left(), 4.2),
                   QStringLiteral("Endereço: {ENDERECO}    CNPJ: {CNPJ}    CNES: {CNES}")).com(normal);

    const double h = 4.2;
    const bool cune = TemPerfil(QStringLiteral("CUNE"));
    Secao& prof = r->filha(SubLista(tr, [f](const Linha& e) { return sqlProfissionais(e, f.excluidos); }));
    Banda& p = prof.detalhe(h);
    p.campo(CelulaDaColuna(*r, 0, h), QStringLiteral("CODPROFISSIONAL")).com(normal);
    p.campo(CelulaDaColuna(*r, 1, h).adjusted(3, 0, 0, 0), QStringLiteral("NOME")).com(normal).comFundo(FundoExcluido);
    p.campo(CelulaDaColuna(*r, 2, h), QStringLiteral("CONTATO")).com(normal);
    p.calculado(CelulaDaColuna(*r, 3, h), [](const Contexto& c) {
        const QString d = c.campo(QStringLiteral("DESCCBO"));
        return c.campo(QStringLiteral("CBO")) + (d.isEmpty() ? QString() : QStringLiteral(" - ") + d);
    }).com(normal);
    if (f.procedimentos)
        p.fundo = [](const Contexto&) { return kCinzaClaro; };
    prof.resumo = Banda(2.5);
    if (!f.procedimentos)
        return r;

    Secao& grupos = prof.filha(SubLista(tr, [f, cune](const Linha& pr) { return sqlGrupos(pr, f.excluidos, cune); }));
    Banda& g = grupos.detalhe(4.8);
    g.texto(QRectF(nome.left() + 8, 0.5, w - nome.left() - 8, h), QStringLiteral("Grupo: {CODGRUPO} - {NOME}")).com(normal.emNegrito());

    Secao& proc = grupos.filha(SubLista(tr, [f, cune](const Linha& gr) { return sqlProcedimentos(gr, f.excluidos, cune); }));
    Banda& pc = proc.detalhe(h);
    pc.campo(CelulaDaColuna(*r, 0, h), QStringLiteral("CODPROCEDIMENTO")).com(normal);
    pc.campo(CelulaDaColuna(*r, 1, h).adjusted(12, 0, 0, 0), QStringLiteral("NOME")).com(normal).comFundo(FundoExcluido);
    pc.campo(CelulaDaColuna(*r, 3, h), QStringLiteral("CODTABSUS")).com(normal);
    pc.campo(CelulaDaColuna(*r, 4, h), QStringLiteral("VALOR"), Formato::Auto, Alinha::Direita).com(normal).comMascara(kValor);
    return r;
}

std::shared_ptr<Documento> TRCadProfissionais::Gera(Transacao& tr, const FiltroCadProfissionais& f)
{
    return MontaDocumento(*Monta(tr, f));
}

} // namespace vx
