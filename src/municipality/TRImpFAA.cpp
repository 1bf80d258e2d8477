#include "municipality/TRImpFAA.h"
#include "core/Banco.h"
#include "core/Configuracao.h"
#include "core/UFunc.h"
#include "core/UVariaveis.h"
#include "exchange/MensagemXml.h"
#include "reports/Folha.h"
#include "reports/UiPreview.h"

#include <QFileInfo>
#include <QFontMetricsF>
#include <QImage>

namespace vx {

using rel::Alinha;
using rel::Banda;
using rel::Contexto;
using rel::Elemento;
using rel::Fonte;

// ---------------------------------------------------------------------------------------------
// Rules of the form

QString TituloFAA(const QString& perfil)
{
    const QString p = perfil.toUpper();
    if (p.contains(QLatin1String("CUNE")))
        return QStringLiteral("AUTORIZAÇÃO PARA SERVIÇO ESPECIALIZADO VIA CUNE");
    if (p.contains(QLatin1String("CEVRANDOSA")))
        return QStringLiteral("AUTORIZAÇÃO P/ SERVIÇO ESPECIALIZADO VIA CEVRANDOSA");
    if (p.contains(QLatin1String("CASLUNE")))
        return QStringLiteral("AUTORIZAÇÃO PARA ATENDIMENTO VIA CASLUNE");
    if (p.contains(QLatin1String("CORVANE")))
        return QStringLiteral("AUTORIZAÇÃO PARA ATENDIMENTO VIA CORVANE");
    if (p.contains(QLatin1String("CULVAR")))
        return QStringLiteral("AUTORIZAÇÃO PARA ATENDIMENTO VIA CULVAR");
    return QStringLiteral("AUTORIZAÇÃO PARA ATENDIMENTO VIA CUMBEL");
}

QString RotuloSiaSusFAA(const QString& perfil)
{
    // Only the CULVAR form leaves it out, and only when no earlier title row matched.
    return TituloFAA(perfil).endsWith(QLatin1String("CULVAR")) ? QString() : QStringLiteral("SIA/SUS");
}

PagamentoFAA TextoPagamentoFAA(const QString& nomeMunicipio, const QString& perfil)
{
    const QString nome = nomeMunicipio.toUpper();
    if (nome.contains(QLatin1String("CAMPINA")) || perfil.toUpper().contains(QLatin1String("CORVANE")))
        return {QStringLiteral("Atend. encaminhado pelo Município de ") + nome, false};
    return {QStringLiteral("Atendimento pago pelo Município de ") + nome, true};
}

QString LinhaProcedimentoFAA(qint64 quantidade, const QString& codTabSus, const QString& nome,
                             const Decimal& valorTotal, bool mostraValor)
{
    QString t = codTabSus + QStringLiteral(" - ") + nome;
    if (quantidade >= 2)
        t = QString::number(quantidade) + QStringLiteral(" x ") + t;
    t = AjustaTexto(t, 60);
    if (mostraValor)
        t += QStringLiteral("  R$ ") + FormataValor(valorTotal, QStringLiteral("##,##0.00"));
    return t;
}

QString FormataCartaoSusFAA(const QString& numero)
{
    QString dig;
    for (QChar c : numero)
        if (c.isDigit())
            dig += c;
    static const int grupos[] = {3, 4, 4, 4};
    QString r;
    int pos = 0;
    for (int g : grupos) {
        if (pos >= dig.size())
            break;
        if (pos > 0)
            r += QLatin1Char('.');
        r += dig.mid(pos, g);
        pos += g;
    }
    return r;
}

QString CaminhoLogoFAA(const QString& configurado)
{
    const QString c = configurado.trimmed();
    if (!c.isEmpty() && QFileInfo(c).isFile())
        return c;
    return CaminhoInstalacao(QStringLiteral("logoconsorcio.jpg"));
}

// ---------------------------------------------------------------------------------------------
// Data

namespace {

struct ProcedimentoFAA {
    qint64 quantidade = 0;
    QString codTabSus;
    QString nome;
    Decimal valor = Decimal::cents(0);
};

struct DadosFAA {
    QString chave, paciente, cartao, sexo, raca, responsavel, mae, fones;
    QString tipoLograd, endereco, endNum, bairro, cep, obs;
    QDate nascimento;
    QDate dataAut, dataMarc;
    QString horaMarc;
    QString codCid, descCid;
    QString entidade, cnesEntidade, enderEntidade, profissional, enderProfissional;
    QVector<ProcedimentoFAA> procedimentos;
    QString municipio, fonesMunicipio;
    bool mostraValor = true;
    QString perfil, cnes, usuario;
    QImage logo;
};

QString texto(const Consulta& q, const char* campo) { return q.campo(QLatin1String(campo)).texto().trimmed(); }

DadosFAA LeDados(Transacao& tr, const PedidoFAA& p)
{
    DadosFAA d;
    const QString origem = SqlLiteralTexto(p.cliOrigem);
    const QString id = QString::number(p.idMarcacao);
    const QString copia = SqlLiteralTexto(p.dataImpAdm);

    Consulta q(tr);
    q.abre(QStringLiteral(
               "SELECT M.*, P.NOME AS NOMEPESSOA, P.CARTAOSUS, P.DATANASC, P.SEXO, P.RACA, P.RESPONSAVEL, "
               "P.NOMEMAE, P.ENDERECO, P.ENDNUM, P.BAIRRO, P.CEP, P.FONES, P.OBS, TL.NOME AS TIPOLOGRAD, "
               "C.DESCRICAO AS DESCCID, (E.CODIGO || '-' || E.RAZAOSOCIAL) AS NOMEENTIDADE, E.CNES AS CNESENTIDADE, "
               "E.ENDERECO AS ENDERENTIDADE, (PR.CODIGO || '-' || PR.NOME) AS NOMEPROF, PR.CONTATO AS ENDERPROF "
               "FROM MARCACAO M "
               "LEFT OUTER JOIN PESSOAS P ON M.CODPESSOA=P.CODIGO AND M.cli_origem=P.cli_origem "
               "LEFT OUTER JOIN TIPOSLOGRADOURO TL ON P.CODTIPOLOGRAD=TL.CODIGO "
               "LEFT OUTER JOIN ENTIDADES E ON M.CODENTIDADE=E.CODIGO "
               "LEFT OUTER JOIN PROFISSIONAIS PR ON M.CODPROFISSIONAL=PR.CODIGO "
               "LEFT OUTER JOIN CID C ON M.CODCID=C.CODIGO "
               "WHERE M.CLI_ORIGEM=%1 AND M.ID_MARCACAO=%2 AND M.DATA_IMP_ADM=%3")
               .arg(origem, id, copia));
    if (q.eof())
        throw ErroMensagem(QStringLiteral("Autorização %1 de %2 não encontrada!").arg(id, p.cliOrigem));
    d.chave = texto(q, "CHAVEIMPRE");
    d.paciente = texto(q, "NOMEPESSOA");
    d.cartao = texto(q, "CARTAOSUS");
    d.nascimento = q.campo(QStringLiteral("DATANASC")).data();
    d.sexo = texto(q, "SEXO");
    d.raca = texto(q, "RACA");
    d.responsavel = texto(q, "RESPONSAVEL");
    d.mae = texto(q, "NOMEMAE");
    d.fones = texto(q, "FONES");
    d.tipoLograd = texto(q, "TIPOLOGRAD");
    d.endereco = texto(q, "ENDERECO");
    d.endNum = texto(q, "ENDNUM");
    d.bairro = texto(q, "BAIRRO");
    d.cep = texto(q, "CEP");
    d.obs = texto(q, "OBS"); // M.* comes first: the authorization's remark
    d.dataAut = q.campo(QStringLiteral("DATALANC")).data();
    d.dataMarc = q.campo(QStringLiteral("DATAMARC")).data();
    d.horaMarc = texto(q, "HORAMARC");
    if (!std::any_of(d.horaMarc.begin(), d.horaMarc.end(), [](QChar c) { return c.isDigit(); }))
        d.horaMarc.clear(); // the empty mask "  :  "
    d.codCid = texto(q, "CODCID");
    d.descCid = texto(q, "DESCCID");
    d.entidade = texto(q, "NOMEENTIDADE");
    d.cnesEntidade = texto(q, "CNESENTIDADE");
    d.enderEntidade = texto(q, "ENDERENTIDADE");
    d.profissional = texto(q, "NOMEPROF");
    d.enderProfissional = texto(q, "ENDERPROF");
    q.fecha();

    q.abre(QStringLiteral("select mp.Quantidade, p.codtabsus, p.nome as nomeproced, mp.valortotal "
                          "from Marcacao_Proceds MP "
                          "left outer join procedimentos P on MP.Codprocedimento=p.codigo "
                          "WHERE Mp.CLI_ORIGEM=%1 AND Mp.ID_MARCACAO=%2 AND Mp.DATA_IMP_ADM=%3")
               .arg(origem, id, copia));
    for (; !q.eof(); q.proximo()) {
        ProcedimentoFAA pr;
        pr.quantidade = q.campo(QStringLiteral("QUANTIDADE")).inteiro();
        pr.codTabSus = texto(q, "CODTABSUS");
        pr.nome = texto(q, "NOMEPROCED");
        pr.valor = q.campo(QStringLiteral("VALORTOTAL")).decimal();
        d.procedimentos << pr;
    }
    q.fecha();

    q.abre(QStringLiteral("SELECT NOME, MOSTRARVALOR, FONES FROM CLIENTES WHERE CODIGO=%1").arg(origem));
    if (!q.eof()) {
        d.municipio = texto(q, "NOME").toUpper();
        d.mostraValor = texto(q, "MOSTRARVALOR").toUpper() != QLatin1String("N");
        d.fonesMunicipio = q.campo(QStringLiteral("FONES")).texto().left(15).trimmed();
    }
    q.fecha();

    d.perfil = Geral::CONSORCIO();
    d.cnes = Geral::CNES();
    d.usuario = SessaoAtual().UsuarioLogado;
    d.logo = QImage(CaminhoLogoFAA(Geral::LOGO()));
    return d;
}

// ---------------------------------------------------------------------------------------------
// Drawing helpers (millimetres, relative to the form's top-left corner)

const QColor kCinza(0xE4, 0xE4, 0xE4);
const QColor kCinzaTexto(0x55, 0x55, 0x55);

Fonte fonte(double pontos, bool negrito = false) { return Fonte{}.tamanho(pontos).emNegrito(negrito); }

// Lines the text takes when wrapped to the width.
int linhasMm(const QString& t, const Fonte& f, double largura)
{
    const QFontMetricsF fm(f.qfont());
    const QRectF r = fm.boundingRect(QRectF(0, 0, rel::mm(largura), 1e7), Qt::TextWordWrap, t);
    return qMax(1, qRound(r.height() / fm.lineSpacing()));
}

class Folha : public rel::Folha {
public:
    using rel::Folha::Folha;

    Elemento& porCopia(double x, double y, double w, double h, rel::FuncTexto fn, const Fonte& f,
                       Alinha a = Alinha::Esquerda)
    {
        return calculado(x, y, w, h, std::move(fn), f, a);
    }
    // The forms' boxes are a little heavier than the default.
    Elemento& caixa(double x, double y, double w, double h, double esp = 0.25, const QColor& fundo = {})
    {
        return rel::Folha::caixa(x, y, w, h, esp, fundo);
    }
    // "Label:" in bold, the value right after it; returns where the value ends.
    double rotulado(double x, double y, double w, double h, const QString& rotulo, const QString& valor,
                    const Fonte& fv)
    {
        const Fonte fr = fv.emNegrito();
        const double lw = rel::LarguraMm(rotulo, fr) + 1.5;
        texto(x, y, lw, h, rotulo, fr);
        texto(x + lw, y, qMax(1.0, w - lw), h, valor, fv);
        return x + lw + qMin(rel::LarguraMm(valor, fv), w - lw);
    }
    // A field of the national forms: a box with its small caption and the value inside.
    void campo(double x, double y, double w, double h, const QString& legenda, const QString& valor = {},
               Alinha a = Alinha::Esquerda)
    {
        caixa(x, y, w, h);
        texto(x + 1, y + 0.4, w - 2, 2.8, legenda, fonte(5.8)).cor = kCinzaTexto;
        if (!valor.isEmpty())
            texto(x + 1.5, y + 3.4, w - 3, qMin(h - 3.6, 5.6), valor, rel::Cabe(valor, fonte(9), w - 3), a);
    }
    // Section strip of the national forms.
    void secao(double y, double w, const QString& titulo)
    {
        caixa(0, y, w, 4.6, 0.25, kCinza);
        texto(1.5, y, w - 3, 4.6, titulo, fonte(7.5, true));
    }
};


// ---------------------------------------------------------------------------------------------
// The authorization form (one copy per page)

constexpr double kLargura = 190;

Banda FormaAutorizacao(const DadosFAA& d, const PedidoFAA& p, const QDateTime& agora, double alturaUtil)
{
    Banda b(alturaUtil);
    Folha f(b);
    const double W = kLargura;
    const Fonte normal = fonte(9);

    // Header: logo, title, key, unit and copy.
    f.imagem(QRectF(0, 0, 36, 26), d.logo);
    const QString titulo = TituloFAA(d.perfil);
    f.texto(39, 0, W - 39, 7, titulo, rel::Cabe(titulo, fonte(13, true), W - 40), Alinha::Centro);
    f.texto(39, 7.2, W - 39, 4.5, RotuloSiaSusFAA(d.perfil), fonte(8.5, true), Alinha::Centro);

    f.caixa(39, 13, 62, 13, 0.5);
    f.texto(41, 13.5, 58, 3.6, QStringLiteral("Nº Atendimento"), fonte(7.5, true));
    f.texto(39, 17.2, 62, 8.2, d.chave, rel::Cabe(d.chave, fonte(17, true), 58), Alinha::Centro);

    f.caixa(103, 13, W - 103, 13);
    f.texto(105, 13.8, W - 107, 5.5, d.perfil, rel::Cabe(d.perfil, fonte(10.5, true), W - 107));
    f.rotulado(105, 19.6, W - 107, 5, QStringLiteral("CNES:"), d.cnes, normal);

    static const char* const vias[] = {"1ª Via - Consórcio", "2ª Via - Entidade", "3ª Via - Município"};
    f.caixa(0, 28.5, W, 7, 0.3, kCinza);
    f.porCopia(0, 28.5, W, 7, [](const Contexto& c) {
        return c.copia >= 1 && c.copia <= 3 ? QString::fromUtf8(vias[c.copia - 1]) : QString();
    }, fonte(11, true), Alinha::Centro);

    // Patient.
    const double passo = 5;
    double topo = 38;
    double y = topo + 1;
    f.rotulado(2, y, 122, 6, QStringLiteral("Paciente:"), d.paciente, fonte(10.5, true));
    f.rotulado(127, y, W - 129, 6, QStringLiteral("Cart.SUS:"), FormataCartaoSusFAA(d.cartao), fonte(10, true));
    y += 6.8;
    f.linha(0, y, W, y, 0.15);
    y += 0.8;
    const QString idade = d.nascimento.isValid() ? QString::number(IdadeAnos(d.nascimento, agora.date())) : QString();
    QStringList linhas;
    linhas << QStringLiteral("Nasc.: ") + TextoData(d.nascimento) + QStringLiteral(" => ") + idade
                  + QStringLiteral(" anos.   Sexo: ") + d.sexo + QStringLiteral("   Raça: ") + d.raca;
    if (!d.responsavel.isEmpty())
        linhas << QStringLiteral("Responsável: ") + d.responsavel;
    if (!d.mae.isEmpty())
        linhas << QStringLiteral("Nome Mãe: ") + d.mae;
    QString rua = rel::Juntos({d.tipoLograd, d.endereco}, QStringLiteral(" "));
    if (!d.endNum.isEmpty())
        rua += QStringLiteral(", ") + d.endNum;
    linhas << QStringLiteral("Endereço: ") + rua;
    linhas << QStringLiteral("Bairro: ") + d.bairro + QStringLiteral(" - CEP: ") + d.cep;
    for (const QString& l : linhas) {
        f.texto(2, y, W - 4, passo, l, normal);
        y += passo;
    }
    if (!d.obs.isEmpty()) {
        const int n = qMin(3, linhasMm(d.obs, normal, W - 4));
        const double h = n * 4.2 + 0.8;
        f.texto(2, y + 0.4, W - 4, h, d.obs, normal).quebraLinha();
        y += h + 0.4;
    }
    y += 0.8;
    f.caixa(0, topo, W, y - topo, 0.35);

    // Authorization: date, provider, appointment, diagnosis.
    topo = y + 2.5;
    y = topo + 1;
    f.rotulado(2, y, 90, passo, QStringLiteral("Data Aut.:"),
               TextoData(d.dataAut) + QLatin1Char(' ') + agora.time().toString(QStringLiteral("HH:mm")), normal);
    y += passo + 0.5;
    const QString rotEnt = QStringLiteral("Entidade / Profissional:");
    const double xEnt = 2 + rel::LarguraMm(rotEnt, normal.emNegrito()) + 1.5;
    f.texto(2, y, xEnt - 2, passo, rotEnt, normal.emNegrito());
    f.texto(xEnt, y, W - xEnt - 2, passo, d.entidade, fonte(9.5, true));
    y += passo;
    f.texto(xEnt, y, W - xEnt - 2, passo, d.profissional, normal);
    y += passo;
    const QString enderecoPrestador = d.enderProfissional.isEmpty() ? d.enderEntidade : d.enderProfissional;
    f.texto(xEnt, y, W - xEnt - 2, passo, enderecoPrestador, normal);
    y += passo + 0.5;
    if (d.dataMarc.isValid()) {
        f.rotulado(2, y, W - 4, 6, QStringLiteral("Marcado para:"),
                   rel::Juntos({TextoData(d.dataMarc), d.horaMarc}, QStringLiteral("  ")), fonte(10.5, true));
        y += 6.5;
    }
    f.rotulado(2, y, 30, passo, QStringLiteral("CID:"), d.codCid, normal);
    f.rotulado(34, y, W - 36, passo, QStringLiteral("Diagnóstico CID"), d.descCid, normal);
    y += passo + 1;
    f.caixa(0, topo, W, y - topo, 0.35);

    // Procedures; the lines get closer when there are many of them.
    topo = y + 2.5;
    y = topo + 1;
    const double reservaFinal = 62; // municipality, signatures and footer
    const int n = int(d.procedimentos.size());
    const double livre = alturaUtil - reservaFinal - y - 1;
    const double alt = n ? qBound(2.6, livre / n, 5.0) : passo;
    const Fonte fp = fonte(qMin(9.0, alt * 1.8));
    for (const ProcedimentoFAA& pr : d.procedimentos) {
        const QString l = LinhaProcedimentoFAA(pr.quantidade, pr.codTabSus, pr.nome, pr.valor, d.mostraValor);
        f.texto(2, y, W - 44, alt, l.left(60).trimmed(), fp);
        if (d.mostraValor)
            f.texto(W - 42, y, 40, alt, l.mid(62), fp, Alinha::Direita);
        y += alt;
    }
    if (n == 0)
        y += passo;
    y += 1;
    f.caixa(0, topo, W, y - topo, 0.35);

    // Municipality and payment.
    topo = y + 2.5;
    y = topo + 1;
    const double fimNome = f.rotulado(2, y, 140, passo, QStringLiteral("Mun.:"), d.municipio, normal.emNegrito());
    f.texto(fimNome + 5, y, W - fimNome - 7, passo, d.fonesMunicipio, normal);
    y += passo;
    const PagamentoFAA pag = TextoPagamentoFAA(d.municipio, d.perfil);
    f.texto(2, y, W - 4, passo, pag.texto, fonte(9.5, true));
    y += passo;
    if (pag.avisoCobranca) {
        f.texto(2, y + 0.5, W - 4, 6, QStringLiteral("PROIBIDA A COBRANÇA DE VALORES AO PACIENTE!"), fonte(11, true),
                Alinha::Centro);
        y += 6.5;
    }
    y += 1;
    f.caixa(0, topo, W, y - topo, 0.35);

    // Signatures and footer.
    y += 18;
    f.linha(5, y, 88, y, 0.3);
    f.linha(102, y, W - 5, y, 0.3);
    f.porCopia(5, y + 0.5, 83, 4.5, [](const Contexto& c) {
        return c.copia == 3 ? QStringLiteral("Ass. Autorizador") : QStringLiteral("Ass. Profissional");
    }, fonte(8), Alinha::Centro);
    f.texto(102, y + 0.5, W - 107, 4.5, QStringLiteral("Ass.Usuário/Resp."), fonte(8), Alinha::Centro);
    y += 8;
    f.texto(0, y, 110, 4.5, QStringLiteral("Versão ") + QLatin1String(VersaoPrograma) + QStringLiteral("  Op.: ") + d.usuario,
            fonte(7)).cor = kCinzaTexto;
    if (p.reimpresso) {
        f.caixa(W - 62, y - 1, 62, 7, 0.5);
        f.texto(W - 62, y - 1, 62, 7, QStringLiteral("DOCUMENTO REIMPRESSO"), fonte(11, true), Alinha::Centro);
    }
    return b;
}

// ---------------------------------------------------------------------------------------------
// The APAC request page

Banda FormaApac(const DadosFAA& d, const PedidoFAA& p, double alturaUtil)
{
    Banda b(alturaUtil);
    Folha f(b);
    const double W = kLargura;
    const QString vazioData = QStringLiteral("____/____/________");

    f.caixa(0, 0, W, 18, 0.4);
    f.texto(0, 1, W, 4, QStringLiteral("MINISTÉRIO DA SAÚDE"), fonte(8, true), Alinha::Centro);
    f.texto(0, 5, W, 4, QStringLiteral("SISTEMA ÚNICO DE SAÚDE"), fonte(8), Alinha::Centro);
    f.texto(0, 10.5, W, 6, QStringLiteral("LAUDO MÉDICO PARA PROCEDIMENTOS DE ALTA COMPLEXIDADE   -  APAC"),
            fonte(11.5, true), Alinha::Centro);

    const double lin = 9.6;  // one row of fields
    const double sep = 1.8;  // between sections
    double y = 18 + sep;

    f.secao(y, W, QStringLiteral("IDENTIFICAÇÃO DO ESTABELECIMENTO DE SAÚDE (SOLICITANTE)"));
    y += 4.6;
    f.campo(0, y, 150, lin, QStringLiteral("1 - NOME DO ESTABELECIMENTO DE SAÚDE SOLICITANTE"), d.perfil);
    f.campo(150, y, 40, lin, QStringLiteral("2 - CNES"), d.cnes);
    y += lin + sep;

    f.secao(y, W, QStringLiteral("IDENTIFICAÇÃO DO PACIENTE"));
    y += 4.6;
    f.campo(0, y, 135, lin, QStringLiteral("3 - NOME DO PACIENTE"), d.paciente);
    f.campo(135, y, 55, lin, QStringLiteral("4 - Nº DO PRONTUÁRIO"));
    y += lin;
    f.campo(0, y, 62, lin, QStringLiteral("5 - CARTÃO NACIONAL DE SAÚDE (CNS)"), d.cartao);
    f.campo(62, y, 40, lin, QStringLiteral("6 - DATA DE NASCIMENTO"), TextoData(d.nascimento));
    f.campo(102, y, 30, lin, QStringLiteral("7 - SEXO"), d.sexo);
    f.campo(132, y, 58, lin, QStringLiteral("8 - RAÇA/COR"), d.raca);
    y += lin;
    f.campo(0, y, W, lin, QStringLiteral("9 - NOME DA MÃE"), d.mae);
    y += lin;
    f.campo(0, y, 135, lin, QStringLiteral("10 - NOME DO RESPONSÁVEL"), d.responsavel);
    f.campo(135, y, 55, lin, QStringLiteral("11 - TELEFONE DE CONTATO"), d.fones);
    y += lin;
    QString rua = rel::Juntos({d.tipoLograd, d.endereco}, QStringLiteral(" "));
    if (!d.endNum.isEmpty())
        rua += QStringLiteral(", ") + d.endNum;
    f.campo(0, y, W, lin, QStringLiteral("12 - ENDEREÇO (RUA, Nº, BAIRRO)"), rel::Juntos({rua, d.bairro}, QStringLiteral(" - ")));
    y += lin;
    f.campo(0, y, 100, lin, QStringLiteral("13 - MUNICÍPIO DE RESIDÊNCIA"), d.municipio);
    f.campo(100, y, 40, lin, QStringLiteral("14 - CÓD. IBGE MUNICÍPIO"), p.cliOrigem);
    f.campo(140, y, 15, lin, QStringLiteral("15 - UF"), QStringLiteral("RS"), Alinha::Centro);
    f.campo(155, y, 35, lin, QStringLiteral("16 - CEP"), d.cep);
    y += lin + sep;

    f.secao(y, W, QStringLiteral("IDENTIFICAÇÃO DO ESTABELECIMENTO DE SAÚDE (EXECUTANTE)"));
    y += 4.6;
    f.campo(0, y, 150, lin, QStringLiteral("17 - NOME DO ESTABELECIMENTO DE SAÚDE EXECUTANTE"), d.entidade);
    f.campo(150, y, 40, lin, QStringLiteral("18 - CNES"), d.cnesEntidade);
    y += lin + sep;

    f.secao(y, W, QStringLiteral("JUSTIFICATIVA DO(S) PROCEDIMENTO(S) SOLICITADO(S)"));
    y += 4.6;
    f.campo(0, y, 100, lin, QStringLiteral("19 - DESCRIÇÃO DO DIAGNÓSTICO"), d.descCid);
    f.campo(100, y, 28, lin, QStringLiteral("20 - CID10 PRINCIPAL"), d.codCid);
    f.campo(128, y, 28, lin, QStringLiteral("21 - CID10 SECUNDÁRIO"));
    f.campo(156, y, 34, lin, QStringLiteral("22 - CID10 CAUSAS ASSOCIADAS"));
    y += lin;
    f.campo(0, y, W, 15, QStringLiteral("23 - OBSERVAÇÕES"));
    y += 15 + sep;

    // Procedures: the rows shrink when many do not fit above the request and authorization boxes.
    const double blocosFinais = 4.6 + lin + 14 + sep + 4.6 + lin + lin + 14;
    f.secao(y, W, QStringLiteral("PROCEDIMENTO(S) SOLICITADO(S)"));
    y += 4.6;
    const double cab = 4.2;
    f.caixa(0, y, 40, cab);
    f.caixa(40, y, 130, cab);
    f.caixa(170, y, 20, cab);
    f.texto(1, y, 38, cab, QStringLiteral("24 - CÓDIGO DO PROCEDIMENTO"), fonte(5.8)).cor = kCinzaTexto;
    f.texto(41, y, 128, cab, QStringLiteral("25 - NOME DO PROCEDIMENTO"), fonte(5.8)).cor = kCinzaTexto;
    f.texto(170, y, 20, cab, QStringLiteral("26 - QTDE."), fonte(5.8), Alinha::Centro).cor = kCinzaTexto;
    y += cab;
    const int linhas = qMax(5, int(d.procedimentos.size()));
    const double livre = alturaUtil - y - sep - blocosFinais;
    const double alt = qBound(3.0, livre / linhas, 6.0);
    const Fonte fp = fonte(qMin(9.0, alt * 1.6));
    for (int i = 0; i < linhas; ++i) {
        f.caixa(0, y, 40, alt, 0.2);
        f.caixa(40, y, 130, alt, 0.2);
        f.caixa(170, y, 20, alt, 0.2);
        if (i < d.procedimentos.size()) {
            const ProcedimentoFAA& pr = d.procedimentos.at(i);
            f.texto(1.5, y, 37, alt, pr.codTabSus, fp);
            f.texto(41.5, y, 127, alt, pr.nome, fp);
            f.texto(170, y, 20, alt, QStringLiteral("01"), fp, Alinha::Centro);
        }
        y += alt;
    }
    y += sep;

    f.secao(y, W, QStringLiteral("SOLICITAÇÃO"));
    y += 4.6;
    f.campo(0, y, 140, lin, QStringLiteral("27 - NOME DO PROFISSIONAL SOLICITANTE"));
    f.campo(140, y, 50, lin, QStringLiteral("28 - DATA DA SOLICITAÇÃO"), vazioData, Alinha::Centro);
    y += lin;
    f.campo(0, y, 40, 14, QStringLiteral("29 - DOCUMENTO"), QStringLiteral("(   ) CNS    (   ) CPF"));
    f.campo(40, y, 70, 14, QStringLiteral("30 - Nº DOCUMENTO (CNS/CPF) DO PROFISSIONAL SOLICITANTE"));
    f.campo(110, y, 80, 14, QStringLiteral("31 - ASSINATURA E CARIMBO (Nº REGISTRO DO CONSELHO)"));
    y += 14 + sep;

    f.secao(y, W, QStringLiteral("AUTORIZAÇÃO"));
    y += 4.6;
    f.campo(0, y, 140, lin, QStringLiteral("32 - NOME DO PROFISSIONAL AUTORIZADOR"));
    f.campo(140, y, 50, lin, QStringLiteral("33 - CÓD. ÓRGÃO EMISSOR"));
    y += lin;
    f.campo(0, y, 40, lin, QStringLiteral("34 - DOCUMENTO"), QStringLiteral("(   ) CNS    (   ) CPF"));
    f.campo(40, y, 100, lin, QStringLiteral("35 - Nº DOCUMENTO (CNS/CPF) DO PROFISSIONAL AUTORIZADOR"));
    f.campo(140, y, 50, lin, QStringLiteral("36 - DATA DA AUTORIZAÇÃO"), vazioData, Alinha::Centro);
    y += lin;
    f.campo(0, y, 80, 14, QStringLiteral("37 - ASSINATURA E CARIMBO (Nº DO REGISTRO DO CONSELHO)"));
    f.campo(80, y, 50, 14, QStringLiteral("38 - Nº DA AUTORIZAÇÃO (APAC)"));
    f.campo(130, y, 60, 14, QStringLiteral("39 - PERÍODO DE VALIDADE DA APAC"),
            QStringLiteral("___/___/_____  a  ___/___/_____"), Alinha::Centro);
    return b;
}

} // namespace

// ---------------------------------------------------------------------------------------------

std::shared_ptr<rel::Documento> TRImpFAA::Gera(Transacao& tr, const PedidoFAA& p, const QDateTime& agora)
{
    const DadosFAA d = LeDados(tr, p);
    rel::Formulario faa;
    faa.copias = 3;
    faa.forma = FormaAutorizacao(d, p, agora, faa.pagina.alturaUtilMm());
    QVector<rel::Parte*> partes{&faa};
    rel::Formulario apac;
    if (p.apac) {
        apac.forma = FormaApac(d, p, apac.pagina.alturaUtilMm());
        partes << &apac;
    }
    return rel::MontaDocumento(partes);
}

bool TRImpFAA::Executa(Transacao& tr, const PedidoFAA& p, QWidget* pai)
{
    return rel::MostraPreview(Gera(tr, p), QStringLiteral("Autorização"), pai);
}

} // namespace vx
