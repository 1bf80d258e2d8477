#include "registries/SigTap.h"
#include "core/Cadastro.h"
#include "core/Configuracao.h"
#include "core/Http.h"
#include "core/UFunc.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSet>

namespace vx {

namespace {

struct LinhaArquivo {
    int numero; // 1-based, blank lines counted
    QString texto;
};

QVector<LinhaArquivo> leArquivo(const QString& arquivo)
{
    QFile f(arquivo);
    if (!f.open(QIODevice::ReadOnly))
        throw ErroValor(QStringLiteral("Não foi possível ler o arquivo %1 (%2)")
                            .arg(QDir::toNativeSeparators(arquivo), f.errorString()));
    const QByteArray dados = f.readAll();
    QVector<LinhaArquivo> linhas;
    PercorreLinhas(dados, [&](int numero, const char* inicio, qsizetype tamanho) {
        QString t = QString::fromLatin1(inicio, tamanho);
        if (!t.trimmed().isEmpty())
            linhas.append({numero, std::move(t)});
    });
    return linhas;
}

// Every line of `arquivo` through `le`; an error names the file and the line.
template <class T, class F>
QVector<T> leTabela(const QString& arquivo, F&& le)
{
    const QString nome = QFileInfo(arquivo).fileName();
    if (!QFileInfo(arquivo).isFile())
        throw ErroValor(QStringLiteral("Falta Arquivo %1!").arg(nome));
    QVector<T> r;
    const QVector<LinhaArquivo> linhas = leArquivo(arquivo);
    r.reserve(linhas.size());
    for (const LinhaArquivo& l : linhas) {
        try {
            r.append(le(l.texto));
        } catch (const ErroValor& e) {
            throw ErroValor(QStringLiteral("Arquivo %1, linha %2: %3").arg(nome).arg(l.numero).arg(e.texto()));
        }
    }
    return r;
}

QString campo(const QString& linha, const PosicaoSigTap& p, const char* nome)
{
    if (linha.size() < p.fim)
        throw ErroValor(QStringLiteral("linha com %1 caracteres, curta para %2 (posições %3 a %4)")
                            .arg(linha.size())
                            .arg(QLatin1String(nome))
                            .arg(p.inicio)
                            .arg(p.fim));
    return linha.mid(p.inicio - 1, p.fim - p.inicio + 1);
}

QString codigo(const QString& linha, const PosicaoSigTap& p, const char* nome)
{
    const QString c = campo(linha, p, nome).trimmed();
    if (c.isEmpty())
        throw ErroValor(QStringLiteral("%1 vazio").arg(QLatin1String(nome)));
    return c;
}

Decimal centesimos(const QString& linha, const PosicaoSigTap& p, const char* nome)
{
    const QString t = campo(linha, p, nome);
    bool ok = SoDigitos(t);
    const qint64 v = ok ? t.toLongLong(&ok) : 0;
    if (!ok)
        throw ErroValor(QStringLiteral("%1 não numérico: \"%2\"").arg(QLatin1String(nome), t));
    return Decimal::cents(v);
}

// A layout CSV cell: blanks and enclosing quotes dropped.
QString celula(QString c)
{
    c = c.trimmed();
    if (c.size() >= 2 && c.startsWith(QLatin1Char('"')) && c.endsWith(QLatin1Char('"')))
        c = c.mid(1, c.size() - 2).trimmed();
    return c;
}

QString semBrancosFinais(QString s)
{
    while (s.endsWith(QLatin1Char(' ')))
        s.chop(1);
    return s;
}

} // namespace

QStringList ArquivosSigTap()
{
    return {QLatin1String(kSigTapOcupacao), QLatin1String(kSigTapProcedimento), QLatin1String(kSigTapRegistro),
            QLatin1String(kSigTapProcedOcupacao)};
}

QString PastaSigTap()
{
    const QString p = CaminhoInstalacao(QStringLiteral("sigtap"));
    QDir().mkpath(p);
    return p;
}

LayoutProcedimento LayoutProcedimentoAtual()
{
    return {{1, 10}, {283, 294}, {295, 306}, {307, 318}};
}

LayoutProcedimento LayoutProcedimentoAntigo()
{
    return {{1, 10}, {283, 292}, {293, 302}, {303, 312}};
}

std::optional<LayoutProcedimento> LeLayoutProcedimento(const QString& arquivo)
{
    if (!QFileInfo(arquivo).isFile())
        return std::nullopt;
    const QString nome = QFileInfo(arquivo).fileName();
    const QVector<LinhaArquivo> linhas = leArquivo(arquivo);
    const auto erro = [&](int linha, const QString& texto) {
        return ErroValor(linha > 0 ? QStringLiteral("Arquivo %1, linha %2: %3").arg(nome).arg(linha).arg(texto)
                                   : QStringLiteral("Arquivo %1: %2").arg(nome, texto));
    };
    if (linhas.isEmpty())
        throw erro(0, QStringLiteral("arquivo vazio"));
    QString cabecalho = linhas.first().texto;
    if (cabecalho.startsWith(QLatin1String("\xEF\xBB\xBF"))) // a UTF-8 mark read as Latin-1
        cabecalho.remove(0, 3);
    QStringList cab = cabecalho.split(QLatin1Char(','));
    for (QString& c : cab)
        c = celula(c).toUpper();
    const int iColuna = int(cab.indexOf(QStringLiteral("COLUNA")));
    const int iInicio = int(cab.indexOf(QStringLiteral("INICIO")));
    const int iFim = int(cab.indexOf(QStringLiteral("FIM")));
    if (iColuna < 0 || iInicio < 0 || iFim < 0)
        throw erro(linhas.first().numero, QStringLiteral("cabeçalho sem as colunas Coluna, Inicio e Fim"));
    QHash<QString, PosicaoSigTap> posicoes;
    for (int i = 1; i < linhas.size(); ++i) {
        const QStringList c = linhas[i].texto.split(QLatin1Char(','));
        const QString coluna = c.isEmpty() ? QString() : celula(c.value(iColuna)).toUpper();
        if (coluna != QLatin1String("CO_PROCEDIMENTO") && !coluna.startsWith(QLatin1String("VL_S")))
            continue;
        bool ok1 = false, ok2 = false;
        const PosicaoSigTap p{celula(c.value(iInicio)).toInt(&ok1), celula(c.value(iFim)).toInt(&ok2)};
        if (!ok1 || !ok2 || p.inicio < 1 || p.fim < p.inicio)
            throw erro(linhas[i].numero, QStringLiteral("posições inválidas de %1").arg(coluna));
        posicoes.insert(coluna, p);
    }
    LayoutProcedimento l;
    const struct {
        const char* nome;
        PosicaoSigTap* p;
    } campos[] = {{"CO_PROCEDIMENTO", &l.codigo}, {"VL_SH", &l.valorSh}, {"VL_SA", &l.valorSa}, {"VL_SP", &l.valorSp}};
    for (const auto& c : campos) {
        const auto it = posicoes.constFind(QLatin1String(c.nome));
        if (it == posicoes.constEnd())
            throw erro(0, QStringLiteral("falta a coluna %1").arg(QLatin1String(c.nome)));
        *c.p = *it;
    }
    return l;
}

Decimal PrecoSus(const Decimal& primeiro, const Decimal& segundo, const Decimal& terceiro)
{
    return segundo.isZero() ? primeiro + terceiro : segundo;
}

OcupacaoSigTap LeLinhaOcupacao(const QString& linha)
{
    return {codigo(linha, {1, 6}, "CO_OCUPACAO"), linha.mid(6, 150).trimmed()};
}

PrecoSigTap LeLinhaProcedimento(const QString& linha, const LayoutProcedimento* layout)
{
    const LayoutProcedimento l =
        layout ? *layout : linha.size() >= 336 ? LayoutProcedimentoAtual() : LayoutProcedimentoAntigo();
    PrecoSigTap p;
    p.codigo = codigo(linha, l.codigo, "CO_PROCEDIMENTO");
    const Decimal sh = centesimos(linha, l.valorSh, "VL_SH");
    const Decimal sa = centesimos(linha, l.valorSa, "VL_SA");
    p.preco = PrecoSus(sh, sa, centesimos(linha, l.valorSp, "VL_SP"));
    if (p.preco > kMaximoNumeric10_2)
        throw ErroValor(QStringLiteral("preço %1 acima do maior valor aceito").arg(FormataValor(p.preco)));
    return p;
}

RegistroSigTap LeLinhaRegistro(const QString& linha)
{
    RegistroSigTap r;
    r.codigo = codigo(linha, {1, 10}, "CO_PROCEDIMENTO");
    r.instrumento = campo(linha, {11, 12}, "CO_REGISTRO");
    return r;
}

QChar LetraRegistro(const QString& instrumento)
{
    if (instrumento == QLatin1String("01"))
        return QLatin1Char('C');
    if (instrumento == QLatin1String("02"))
        return QLatin1Char('I');
    return {};
}

QStringList BaixaTabelasSigTap(const QString& pasta, const QString& url, const std::function<void(const QString&)>& status)
{
    QDir().mkpath(pasta);
    const QDir d(pasta);
    QString base = url.trimmed();
    if (!base.endsWith(QLatin1Char('/')))
        base += QLatin1Char('/');
    QStringList falhas;
    const QStringList arquivos = ArquivosSigTap();
    for (int n = 1; n <= arquivos.size(); ++n) {
        const QString& a = arquivos[n - 1];
        if (status)
            status(QStringLiteral("Baixando arquivo %1 de %2 => %3. Aguarde...").arg(n).arg(arquivos.size()).arg(a));
        QFile::remove(d.filePath(a));
        QString erro;
        if (!BaixaHttp(base + a, d.filePath(a), &erro))
            falhas << a + QStringLiteral(": ") + erro;
    }
    // A layout left from an earlier table must not place the new one's fields.
    const QString layout = QLatin1String(kSigTapLayout);
    QFile::remove(d.filePath(layout));
    BaixaHttp(base + layout, d.filePath(layout));
    return falhas;
}

ResultadoSigTap ImportaSigTap(Transacao& tr, const QString& pasta, const OpcoesSigTap& opcoes,
                              const std::function<void(const QString&)>& progresso)
{
    const QDir d(pasta);
    const auto mostra = [&](const QString& t) {
        if (progresso)
            progresso(t);
    };
    QVector<OcupacaoSigTap> ocupacoes;
    QVector<PrecoSigTap> precos;
    QVector<RegistroSigTap> registros;
    if (opcoes.cbo)
        ocupacoes = leTabela<OcupacaoSigTap>(d.filePath(QLatin1String(kSigTapOcupacao)), LeLinhaOcupacao);
    if (opcoes.procedimentos) {
        const auto layout = LeLayoutProcedimento(d.filePath(QLatin1String(kSigTapLayout)));
        precos = leTabela<PrecoSigTap>(d.filePath(QLatin1String(kSigTapProcedimento)), [&](const QString& l) {
            return LeLinhaProcedimento(l, layout ? &*layout : nullptr);
        });
        registros = leTabela<RegistroSigTap>(d.filePath(QLatin1String(kSigTapRegistro)), LeLinhaRegistro);
        // Every instrument is emptied before the file is applied: an empty file would take every
        // procedure out of the production bulletin.
        for (const auto& [nome, vazio] : {std::pair{kSigTapProcedimento, precos.isEmpty()},
                                          std::pair{kSigTapRegistro, registros.isEmpty()}})
            if (vazio)
                throw ErroValor(QStringLiteral("Arquivo %1 vazio: nada foi importado.").arg(QLatin1String(nome)));
    }
    ResultadoSigTap r;
    if (ocupacoes.isEmpty() && !opcoes.procedimentos)
        return r;

    EmTransacao(tr, [&](Consulta& q) {
        if (!ocupacoes.isEmpty()) {
            mostra(QStringLiteral("Excluindo CBOs antigos... "));
            q.executa(QStringLiteral("DELETE FROM CBO"));
            const QString de = QStringLiteral(" de ") + ZerosEsquerda(ocupacoes.size(), 6);
            for (int i = 0; i < ocupacoes.size(); ++i) {
                mostra(QStringLiteral("Processando CBO ") + ZerosEsquerda(i, 6) + de);
                q.executa(QStringLiteral("UPDATE OR INSERT INTO CBO(codigo, descricao) values(") +
                          SqlTexto(ocupacoes[i].codigo) + QStringLiteral(", ") + SqlTexto(ocupacoes[i].nome) +
                          QLatin1Char(')'));
            }
            r.ocupacoes = int(ocupacoes.size());
        }
        if (opcoes.procedimentos) {
            // Only codes some procedure carries can change anything (the engine ignores trailing
            // blanks when comparing texts).
            QSet<QString> usados;
            q.abre(QStringLiteral("select distinct codtabsus from procedimentos where codtabsus is not null"));
            for (; !q.eof(); q.proximo())
                usados.insert(semBrancosFinais(q.campo(0).texto()));
            q.fecha();
            const QString de1 = QStringLiteral(" de ") + QString::number(precos.size());
            for (int i = 0; i < precos.size(); ++i) {
                mostra(QStringLiteral("Processando Proced. (Parte 1 de 2) ") + QString::number(i) + de1);
                if (!usados.contains(precos[i].codigo))
                    continue;
                q.executa(QStringLiteral("UPDATE PROCEDIMENTOS SET VALORSUS=") + SqlDecimal(precos[i].preco) +
                          QStringLiteral(" WHERE CODTABSUS=") + SqlTexto(precos[i].codigo));
                ++r.precos;
            }
            q.executa(QStringLiteral("UPDATE PROCEDIMENTOS SET REGISTRO=''"));
            // REGISTRO holds two letters: a repeated line adds nothing.
            QHash<QString, QString> letras;
            const QString de2 = QStringLiteral(" de ") + QString::number(registros.size());
            for (int i = 0; i < registros.size(); ++i) {
                mostra(QStringLiteral("Processando Proced. (Parte 2 de 2) ") + QString::number(i) + de2);
                const QChar letra = LetraRegistro(registros[i].instrumento);
                if (letra.isNull() || !usados.contains(registros[i].codigo))
                    continue;
                QString& atuais = letras[registros[i].codigo];
                if (atuais.contains(letra))
                    continue;
                atuais += letra;
                q.executa(QStringLiteral("UPDATE PROCEDIMENTOS SET REGISTRO=REGISTRO || ") + SqlTexto(QString(letra)) +
                          QStringLiteral(" WHERE CODTABSUS=") + SqlTexto(registros[i].codigo));
                ++r.registros;
            }
        }
        return RegistroLog{QStringLiteral("SIGTAP"), QStringLiteral("I"),
                           QStringLiteral("CBO: %1; Procedimentos: %2 preços, %3 registros")
                               .arg(r.ocupacoes)
                               .arg(r.precos)
                               .arg(r.registros)};
    });
    return r;
}

} // namespace vx
