#include "billing/Planilha.h"
#include "core/Configuracao.h"
#include "core/Mensagens.h"
#include "core/UFunc.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QProcess>

#include <xlsxwriter.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

namespace vx {

CelulaPlanilha CelulaPlanilha::deTexto(const QString& texto)
{
    CelulaPlanilha c;
    if (!texto.isEmpty()) {
        c.tipo = Tipo::Texto;
        c.texto = texto;
    }
    return c;
}

CelulaPlanilha CelulaPlanilha::deNumero(const Decimal& valor, const QString& formato)
{
    CelulaPlanilha c;
    c.tipo = Tipo::Numero;
    c.numero = valor;
    c.formato = formato;
    return c;
}

namespace {

constexpr double kLarguraMinima = 8.43; // the sheet's default
constexpr double kLarguraMaxima = 80;

// Characters the cell shows, for sizing its column.
int largura(const CelulaPlanilha& c)
{
    switch (c.tipo) {
    case CelulaPlanilha::Tipo::Vazia:
        return 0;
    case CelulaPlanilha::Tipo::Numero:
        return int(FormataValor(c.numero, c.formato.isEmpty() ? QString::fromLatin1(kFormatoValor) : c.formato).size());
    case CelulaPlanilha::Tipo::Texto: {
        int maior = 0;
        for (const QString& l : c.texto.split(QLatin1Char('\n')))
            maior = std::max(maior, int(l.size()));
        return maior;
    }
    }
    return 0;
}

// The library's text, then the file and, when the system refused a file, its reason.
QString textoErro(lxw_error e, const QString& arquivo, int errnoSistema = 0)
{
    QString t = QString::fromUtf8(lxw_strerror(e)) + QLatin1Char('\n') + QDir::toNativeSeparators(arquivo);
    if (errnoSistema != 0)
        t += QStringLiteral(": ") + QString::fromLocal8Bit(std::strerror(errnoSistema));
    return t;
}

// Fills the sheet; the first error of the library stops it.
lxw_error preenche(lxw_workbook* wb, lxw_worksheet* ws, const Planilha& p)
{
    QHash<QString, lxw_format*> formatos;
    const auto formato = [&](const QString& f) -> lxw_format* {
        if (f.isEmpty())
            return nullptr;
        auto it = formatos.find(f);
        if (it == formatos.end()) {
            lxw_format* novo = workbook_add_format(wb);
            format_set_num_format(novo, f.toUtf8().constData());
            it = formatos.insert(f, novo);
        }
        return *it;
    };

    QVector<int> larguras;
    for (qsizetype r = 0; r < p.linhas.size(); ++r) {
        const LinhaPlanilha& linha = p.linhas[r];
        if (r >= LXW_ROW_MAX || linha.size() > LXW_COL_MAX)
            return LXW_ERROR_WORKSHEET_INDEX_OUT_OF_RANGE;
        if (larguras.size() < linha.size())
            larguras.resize(linha.size());
        for (qsizetype c = 0; c < linha.size(); ++c) {
            const CelulaPlanilha& cel = linha[c];
            lxw_error e = LXW_NO_ERROR;
            if (cel.tipo == CelulaPlanilha::Tipo::Texto)
                e = worksheet_write_string(ws, lxw_row_t(r), lxw_col_t(c), cel.texto.toUtf8().constData(), nullptr);
            else if (cel.tipo == CelulaPlanilha::Tipo::Numero)
                e = worksheet_write_number(ws, lxw_row_t(r), lxw_col_t(c), cel.numero.toDouble(),
                                           formato(cel.formato));
            if (e != LXW_NO_ERROR)
                return e;
            larguras[c] = std::max(larguras[c], largura(cel));
        }
    }
    for (qsizetype c = 0; c < larguras.size(); ++c) {
        if (larguras[c] == 0)
            continue;
        const double w = std::clamp(larguras[c] + 2.0, kLarguraMinima, kLarguraMaxima);
        const lxw_error e = worksheet_set_column(ws, lxw_col_t(c), lxw_col_t(c), w, nullptr);
        if (e != LXW_NO_ERROR)
            return e;
    }
    return LXW_NO_ERROR;
}

AcoesPlanilha& acoes()
{
    static AcoesPlanilha a;
    return a;
}

} // namespace

bool GravaPlanilha(const QString& arquivo, const Planilha& p, QString* erro)
{
    const auto falha = [&](const QString& texto) {
        if (erro)
            *erro = texto;
        return false;
    };
    const QFileInfo info(arquivo);
    const QString parcial = info.absoluteDir().filePath(QStringLiteral(".") + info.fileName() + QStringLiteral(".part"));
    const QByteArray nomeParcial = QFile::encodeName(parcial);

    lxw_workbook* wb = workbook_new(nomeParcial.constData());
    if (!wb)
        return falha(textoErro(LXW_ERROR_MEMORY_MALLOC_FAILED, arquivo));
    const QByteArray nomeFolha = p.nome.toUtf8();
    lxw_error e = workbook_validate_sheet_name(wb, nomeFolha.constData());
    lxw_worksheet* ws = e == LXW_NO_ERROR ? workbook_add_worksheet(wb, nomeFolha.constData()) : nullptr;
    if (e == LXW_NO_ERROR && !ws)
        e = LXW_ERROR_MEMORY_MALLOC_FAILED;
    if (e == LXW_NO_ERROR)
        e = preenche(wb, ws, p);
    // Closing frees the workbook in every case; after an error the file it writes is dropped.
    errno = 0;
    const lxw_error fechamento = workbook_close(wb);
    const int errnoFechamento = errno;
    if (e == LXW_NO_ERROR)
        e = fechamento;
    if (e != LXW_NO_ERROR) {
        QFile::remove(parcial);
        const bool arquivoRecusado = e == LXW_ERROR_CREATING_XLSX_FILE || e == LXW_ERROR_CREATING_TMPFILE;
        return falha(textoErro(e, arquivo, arquivoRecusado ? errnoFechamento : 0));
    }
    if (std::rename(nomeParcial.constData(), QFile::encodeName(arquivo).constData()) != 0) {
        const int motivo = errno;
        QFile::remove(parcial);
        return falha(QDir::toNativeSeparators(arquivo) + QStringLiteral(": ") +
                     QString::fromLocal8Bit(std::strerror(motivo)));
    }
    return true;
}

Planilha PlanilhaMunicipios(const QStringList& titulos, const QVector<QStringList>& celulas,
                            const QList<int>& colunasValor)
{
    Planilha p;
    LinhaPlanilha cab;
    for (const QString& t : titulos)
        cab << CelulaPlanilha::deTexto(t);
    p.linhas << cab;
    for (const QStringList& linha : celulas) {
        LinhaPlanilha l;
        for (int c = 0; c < linha.size(); ++c) {
            const QString& t = linha[c];
            if (colunasValor.contains(c) && !t.trimmed().isEmpty()) {
                try {
                    l << CelulaPlanilha::deNumero(DecimalTexto(t));
                    continue;
                } catch (const ErroValor&) {
                }
            }
            l << CelulaPlanilha::deTexto(t);
        }
        p.linhas << l;
    }
    return p;
}

namespace {

enum ColunaEntidade {
    ceCodigo, ceRazaoSocial, ceContabil, ceBanco, ceInfoBanc, ceBruto, ceAcrescDesc, ceSubTotal, ceIrrf,
    ceCofins, ceTarifa, ceIssqn, cePis, ceCsll, ceLiquido, ceIsentoIr, ceSimplesNac, ceNf, ceDataPgto,
    ceMunicipio, ceObs, ceEmail
};

const char* const kTitulosEntidades[kColunasExportEntidades] = {
    "Código", "Razão Social", "Cont.", "Banco", "Inf.Bco", "Vlr.Bruto", "Acr./Desc.", "SubTotal",
    "IRRF", "Cofins", "Tarifa Cred.", "ISSQN", "Pis", "CSLL", "Vlr.Liquido", "Is.IR",
    "SN", "NF", "Dt.Pgto.", "Município", "Obs", "Email"};

bool totalizada(int coluna)
{
    return coluna == ceBruto || coluna == ceAcrescDesc || (coluna >= ceIrrf && coluna <= ceLiquido);
}

Decimal liquido(const LinhaExportEntidade& e)
{
    return e.bruto + e.acrescDesc - e.irrf - e.cofins - e.tarifa - e.issqn - e.pis - e.csll;
}

CelulaPlanilha celula(const LinhaExportEntidade& e, int coluna)
{
    switch (coluna) {
    case ceCodigo: return CelulaPlanilha::deTexto(e.codigo);
    case ceRazaoSocial: return CelulaPlanilha::deTexto(e.razaoSocial);
    case ceContabil: return CelulaPlanilha::deTexto(e.codContabil);
    case ceBanco: return CelulaPlanilha::deTexto(e.banco);
    case ceInfoBanc: return CelulaPlanilha::deTexto(e.infoBanc);
    case ceBruto: return CelulaPlanilha::deNumero(e.bruto);
    case ceAcrescDesc: return CelulaPlanilha::deNumero(e.acrescDesc);
    case ceSubTotal: return CelulaPlanilha::deNumero(e.bruto + e.acrescDesc);
    case ceIrrf: return CelulaPlanilha::deNumero(e.irrf);
    case ceCofins: return CelulaPlanilha::deNumero(e.cofins);
    case ceTarifa: return CelulaPlanilha::deNumero(e.tarifa);
    case ceIssqn: return CelulaPlanilha::deNumero(e.issqn);
    case cePis: return CelulaPlanilha::deNumero(e.pis);
    case ceCsll: return CelulaPlanilha::deNumero(e.csll);
    case ceLiquido: return CelulaPlanilha::deNumero(liquido(e));
    case ceIsentoIr: return CelulaPlanilha::deTexto(e.isentoIr);
    case ceSimplesNac: return CelulaPlanilha::deTexto(e.simplesNac);
    case ceNf: return CelulaPlanilha::deTexto(e.nf);
    case ceMunicipio: return CelulaPlanilha::deTexto(e.municipios);
    case ceObs: return CelulaPlanilha::deTexto(e.obs);
    case ceEmail: return CelulaPlanilha::deTexto(e.email);
    default: return CelulaPlanilha::vazia(); // the payment date is written by hand
    }
}

} // namespace

QStringList TitulosExportEntidades()
{
    QStringList t;
    for (const char* s : kTitulosEntidades)
        t << QString::fromUtf8(s);
    return t;
}

Planilha PlanilhaEntidades(const QVector<LinhaExportEntidade>& linhas, const QVector<bool>& marcadas)
{
    QVector<int> colunas;
    for (int c = 0; c < kColunasExportEntidades && c < marcadas.size(); ++c)
        if (marcadas[c])
            colunas << c;
    Planilha p;
    if (colunas.isEmpty())
        return p;

    const QStringList titulos = TitulosExportEntidades();
    LinhaPlanilha cab;
    for (int c : colunas)
        cab << CelulaPlanilha::deTexto(titulos[c]);
    p.linhas << cab;

    QVector<Decimal> totais(kColunasExportEntidades, Decimal::cents(0));
    for (const LinhaExportEntidade& e : linhas) {
        LinhaPlanilha l;
        for (int c : colunas) {
            const CelulaPlanilha cel = celula(e, c);
            if (totalizada(c))
                totais[c] = totais[c] + cel.numero;
            l << cel;
        }
        p.linhas << l;
    }

    if (std::any_of(colunas.begin(), colunas.end(), totalizada)) {
        LinhaPlanilha tot;
        for (int c : colunas) {
            if (!totalizada(c))
                tot << CelulaPlanilha::vazia();
            else
                tot << CelulaPlanilha::deNumero(totais[c], QString::fromLatin1(c == ceBruto || c == ceLiquido
                                                                                   ? kFormatoTotalPrincipal
                                                                                   : kFormatoTotal));
        }
        p.linhas << tot;
    }
    return p;
}

void DefineAcoesPlanilha(const AcoesPlanilha& a)
{
    acoes() = a;
}

bool AbrePlanilha(const QString& arquivo)
{
    if (acoes().abre)
        return acoes().abre(arquivo);
    return QProcess::startDetached(QStringLiteral("xdg-open"), {arquivo});
}

QString PastaPlanilhas()
{
    const QString pasta = CaminhoInstalacao(QStringLiteral("planilhas"));
    QDir().mkpath(pasta);
    return pasta;
}

QString NomeArquivoPlanilha(const QString& assunto, const QDate& inicio, const QDate& fim)
{
    QString nome = assunto.trimmed() + QLatin1Char(' ') + inicio.toString(QStringLiteral("dd-MM-yyyy")) +
                   QStringLiteral(" a ") + fim.toString(QStringLiteral("dd-MM-yyyy")) + QStringLiteral(".xlsx");
    static const QString proibidos = QStringLiteral("/\\:*?\"<>|");
    for (QChar& c : nome)
        if (c.unicode() < 32 || proibidos.contains(c))
            c = QLatin1Char('-');
    return nome;
}

QString CaminhoPlanilha(const QString& assunto, const QDate& inicio, const QDate& fim)
{
    return QDir(PastaPlanilhas()).filePath(NomeArquivoPlanilha(assunto, inicio, fim));
}

QString MensagemFalhaAberturaPlanilha()
{
    return QStringLiteral("Não foi possível abrir o MS-Excel");
}

QString MensagemErroPlanilha(const QString& erro)
{
    return QStringLiteral("Aconteceu um durante a conversão da tabela para o Ms-Excel") + QLatin1Char('\n') + erro;
}

bool ExportaPlanilha(const QString& arquivo, const Planilha& p)
{
    QString erro;
    if (!GravaPlanilha(arquivo, p, &erro)) {
        MostraErro(MensagemErroPlanilha(erro));
        return false;
    }
    if (!AbrePlanilha(arquivo)) {
        MostraErro(MensagemFalhaAberturaPlanilha());
        return false;
    }
    return true;
}

} // namespace vx
