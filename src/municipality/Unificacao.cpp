#include "municipality/Unificacao.h"
#include "core/Banco.h"
#include "core/RegistraLog.h"
#include "core/UFunc.h"

#include <QHash>

#include <algorithm>
#include <numeric>

namespace vx {

namespace {

const QString kDeletar = QStringLiteral("DELETAR");

// Points the references of (origin, de) at (origin, para).
class MoveReferencias {
public:
    explicit MoveReferencias(Transacao& tr)
    {
        for (const QString& t : TabelasComPaciente())
            m_comandos.emplace_back(std::make_unique<Comando>(
                tr, "update " + t + " set codpessoa=? where cli_origem=? and codpessoa=?"));
    }
    void executa(const QString& origem, qint64 de, qint64 para)
    {
        for (auto& c : m_comandos)
            c->executa({para, origem, de});
    }

private:
    std::vector<std::unique_ptr<Comando>> m_comandos;
};

QString ChaveNome(const QString& nome) { return SemAcentos(nome); }

bool CartaoComparavel(const QString& c)
{
    return c.size() == 15 && SoDigitos(c) && c != QLatin1String("000000000000000");
}

// Disjoint sets over row indexes.
struct Conjuntos {
    std::vector<int> pai;
    int raiz(int i)
    {
        while (pai[i] != i) {
            pai[i] = pai[pai[i]];
            i = pai[i];
        }
        return i;
    }
    void une(int a, int b)
    {
        a = raiz(a);
        b = raiz(b);
        if (a != b)
            pai[std::max(a, b)] = std::min(a, b);
    }
};

} // namespace

const QStringList& TabelasComPaciente()
{
    static const QStringList t{QStringLiteral("MARCACAO"), QStringLiteral("AGENDA")};
    return t;
}

QString DescricaoUnificacao(const QString& nome, qint64 de, qint64 para)
{
    return QStringLiteral("Unif.Transf:") + nome.left(20) + QStringLiteral("  De:") + QString::number(de)
        + QStringLiteral("  Para:") + QString::number(para);
}

ResultadoUnificacao ExecutaUnificacao(Transacao& tr, const std::function<void(const QString&)>& progresso)
{
    const auto mostra = [&](const QString& t) {
        if (progresso)
            progresso(t);
    };
    ResultadoUnificacao r;
    tr.inicia();
    try {
        MoveReferencias move(tr);
        Comando marca(tr, QStringLiteral("update pessoas set obs='DELETAR' where cli_origem=? and codigo=?"));
        Consulta q(tr);
        q.abre(QStringLiteral("select CLI_ORIGEM, CODIGO, NOME, DATANASC, CARTAOSUS from pessoas "
                              "order by CLI_ORIGEM, NOME, DATANASC"));
        QString sOrigem, sNome;
        QDate sData;
        qint64 sCodigo = 0;
        bool temSobrevivente = false;
        for (; !q.eof(); q.proximo()) {
            const QString origem = q.campo(0).texto();
            const qint64 codigo = q.campo(1).inteiro();
            const QString nome = q.campo(2).texto();
            const QDate data = q.campo(3).data();
            ++r.verificados;
            if (temSobrevivente && origem == sOrigem && nome == sNome && data == sData) {
                move.executa(origem, codigo, sCodigo);
                RegistraLog(tr, QStringLiteral("Pessoas"), QStringLiteral("U"), DescricaoUnificacao(nome, codigo, sCodigo));
                marca.executa({origem, codigo});
                ++r.unificados;
                continue;
            }
            sOrigem = origem;
            sCodigo = codigo;
            sNome = nome;
            sData = data;
            temSobrevivente = true;
            mostra(QStringLiteral("Verificando Cadastro Código ") + QString::number(sCodigo) + QStringLiteral(" - ") + sNome);
        }
        q.fecha();
        mostra(QStringLiteral("Finalizando..."));
        r.excluidos = int(tr.valor(QStringLiteral("select count(*) from pessoas where OBS='DELETAR'")).toLongLong());
        tr.executa(QStringLiteral("delete from pessoas where OBS=") + SqlTexto(kDeletar));
        tr.commit();
    } catch (...) {
        tr.rollback();
        throw;
    }
    mostra(QStringLiteral("Concluído!"));
    return r;
}

QVector<GrupoDuplicados> ProvaveisDuplicados(Transacao& tr, const std::function<void(int)>& progresso)
{
    // One pass keeps, per row, only its key and hashes of the three comparisons; the grouped rows
    // are read again afterwards.
    struct Linha {
        int origem;
        qint64 codigo;
    };
    std::vector<Linha> linhas;
    QStringList origens;
    QHash<QString, int> indiceOrigem;
    // Keys are kept as 64-bit hashes (a million patients); a collision only proposes a group
    // the clerk then sees is not one.
    QHash<size_t, int> porCartao, porNomeData, porNomeMae;
    Conjuntos conj;
    std::vector<quint8> motivos;   // per row: bit 1 card, 2 name+date, 4 name+mother

    const auto liga = [&](QHash<size_t, int>& mapa, const QString& texto, int i, quint8 bit) {
        const size_t chave = qHash(texto, size_t(0x5bd1e995));
        auto it = mapa.constFind(chave);
        if (it == mapa.constEnd()) {
            mapa.insert(chave, i);
            return;
        }
        conj.une(*it, i);
        motivos[size_t(*it)] |= bit;
        motivos[size_t(i)] |= bit;
    };

    Consulta q(tr);
    q.abre(QStringLiteral("select CLI_ORIGEM, CODIGO, NOME, DATANASC, CARTAOSUS, NOMEMAE from pessoas"));
    for (; !q.eof(); q.proximo()) {
        const QString origem = q.campo(0).texto();
        auto io = indiceOrigem.constFind(origem);
        if (io == indiceOrigem.constEnd()) {
            io = indiceOrigem.insert(origem, int(origens.size()));
            origens << origem;
        }
        const int i = int(linhas.size());
        linhas.push_back({*io, q.campo(1).inteiro()});
        conj.pai.push_back(i);
        motivos.push_back(0);
        const QString prefixo = QString::number(*io) + QLatin1Char('|');
        const QString cartao = q.campo(4).texto().trimmed();
        if (CartaoComparavel(cartao))
            liga(porCartao, prefixo + cartao, i, 1);
        const QString nome = ChaveNome(q.campo(2).texto());
        if (!nome.isEmpty()) {
            const QDate data = q.campo(3).data();
            if (data.isValid())
                liga(porNomeData, prefixo + nome + QLatin1Char('|') + QString::number(data.toJulianDay()), i, 2);
            const QString mae = ChaveNome(q.campo(5).texto());
            if (!mae.isEmpty())
                liga(porNomeMae, prefixo + nome + QLatin1Char('|') + mae, i, 4);
        }
        if (progresso && linhas.size() % 20000 == 0)
            progresso(int(linhas.size()));
    }
    q.fecha();
    porCartao.clear();
    porNomeData.clear();
    porNomeMae.clear();
    if (progresso)
        progresso(int(linhas.size()));

    // Rows of each group, by root.
    QHash<int, QVector<int>> grupos;
    for (int i = 0; i < int(linhas.size()); ++i)
        if (motivos[size_t(i)])
            grupos[conj.raiz(i)].append(i);

    // The grouped rows' columns, read per origin in blocks of codes.
    QHash<QPair<int, qint64>, CadastroDuplicado> detalhes;
    QHash<int, QVector<qint64>> codigosPorOrigem;
    for (auto it = grupos.cbegin(); it != grupos.cend(); ++it)
        for (int i : *it)
            codigosPorOrigem[linhas[size_t(i)].origem].append(linhas[size_t(i)].codigo);
    for (auto it = codigosPorOrigem.cbegin(); it != codigosPorOrigem.cend(); ++it) {
        const QVector<qint64>& codigos = *it;
        for (int ini = 0; ini < codigos.size(); ini += 500) {
            QStringList lista;
            for (int k = ini; k < std::min<int>(ini + 500, codigos.size()); ++k)
                lista << QString::number(codigos[k]);
            const QString emCodigos = lista.join(QLatin1Char(','));
            const QString origem = SqlTexto(origens[it.key()]);
            Consulta d(tr);
            d.abre("select p.codigo, p.nome, p.datanasc, p.cartaosus, p.nomemae, "
                   "(select count(*) from marcacao m where m.cli_origem=p.cli_origem and m.codpessoa=p.codigo) "
                   "from pessoas p where p.cli_origem=" + origem + " and p.codigo in (" + emCodigos + ")");
            for (; !d.eof(); d.proximo()) {
                CadastroDuplicado c;
                c.cliOrigem = origens[it.key()];
                c.codigo = d.campo(0).inteiro();
                c.nome = d.campo(1).texto();
                c.dataNasc = d.campo(2).data();
                c.cartaoSus = d.campo(3).texto();
                c.nomeMae = d.campo(4).texto();
                c.autorizacoes = int(d.campo(5).inteiro());
                detalhes.insert({it.key(), c.codigo}, c);
            }
        }
    }

    QVector<GrupoDuplicados> r;
    r.reserve(grupos.size());
    for (auto it = grupos.cbegin(); it != grupos.cend(); ++it) {
        GrupoDuplicados g;
        quint8 bits = 0;
        for (int i : *it) {
            bits |= motivos[size_t(i)];
            const auto d = detalhes.constFind({linhas[size_t(i)].origem, linhas[size_t(i)].codigo});
            if (d != detalhes.constEnd())   // deleted meanwhile
                g.cadastros.append(*d);
        }
        if (g.cadastros.size() < 2)
            continue;
        std::sort(g.cadastros.begin(), g.cadastros.end(),
                  [](const CadastroDuplicado& a, const CadastroDuplicado& b) { return a.codigo < b.codigo; });
        QStringList m;
        if (bits & 1)
            m << QStringLiteral("Cartão SUS");
        if (bits & 2)
            m << QStringLiteral("Nome e Nascimento");
        if (bits & 4)
            m << QStringLiteral("Nome e Mãe");
        g.motivo = m.join(QStringLiteral(", "));
        r.append(g);
    }
    std::sort(r.begin(), r.end(), [](const GrupoDuplicados& a, const GrupoDuplicados& b) {
        const int c = QString::compare(SemAcentos(a.cadastros.first().nome), SemAcentos(b.cadastros.first().nome));
        if (c != 0)
            return c < 0;
        return a.cadastros.first().cliOrigem < b.cadastros.first().cliOrigem;
    });
    return r;
}

namespace {

// Columns completed in the survivor when empty there: single columns, and the address as a whole.
const char* const kColunasCompletadas[] = {"CARTAOSUS", "DATANASC", "SEXO", "NOMEMAE", "RESPONSAVEL", "FONES"};
const char* const kColunasEndereco[] = {"CODTIPOLOGRAD", "ENDERECO", "ENDNUM", "BAIRRO", "CEP"};

bool Vazio(const Campo& c)
{
    return c.nulo || c.texto().trimmed().isEmpty();
}

QString Literal(const Campo& c)
{
    if (c.nulo)
        return QStringLiteral("null");
    switch (c.tipo) {
    case Campo::Tipo::Inteiro:
        return QString::number(c.inteiro());
    case Campo::Tipo::Data:
        return SqlData(c.data());
    default:
        return SqlTexto(c.texto());
    }
}

} // namespace

void UnificaPacientes(Transacao& tr, const QString& cliOrigem, qint64 sobrevivente, const QVector<qint64>& duplicados)
{
    if (duplicados.isEmpty())
        return;
    if (duplicados.contains(sobrevivente))
        throw ErroValor(QStringLiteral("O cadastro mantido não pode ser unificado a si mesmo."));
    tr.inicia();
    try {
        const QString origem = SqlTexto(cliOrigem);
        const auto leLinha = [&](qint64 codigo) {
            Consulta q(tr);
            q.abre("select * from pessoas where cli_origem=" + origem + " and codigo=" + SqlInteiro(codigo));
            if (q.eof())
                throw ErroValor(QStringLiteral("Cadastro ") + QString::number(codigo) + QStringLiteral(" não encontrado."));
            QHash<QString, Campo> linha;
            for (int i = 0; i < q.numCampos(); ++i)
                linha.insert(q.campo(i).nome.toUpper(), q.campo(i));
            return linha;
        };
        QHash<QString, Campo> s = leLinha(sobrevivente);
        QStringList atribuicoes;
        MoveReferencias move(tr);
        for (qint64 d : duplicados) {
            const QHash<QString, Campo> r = leLinha(d);
            for (const char* c : kColunasCompletadas) {
                const QString col = QString::fromLatin1(c);
                if (s.contains(col) && Vazio(s[col]) && !Vazio(r.value(col))) {
                    s[col] = r.value(col);
                    atribuicoes << col + QLatin1Char('=') + Literal(s[col]);
                }
            }
            if (s.contains(QStringLiteral("ENDERECO")) && Vazio(s[QStringLiteral("ENDERECO")])
                && !Vazio(r.value(QStringLiteral("ENDERECO")))) {
                for (const char* c : kColunasEndereco) {
                    const QString col = QString::fromLatin1(c);
                    if (!s.contains(col))
                        continue;
                    s[col] = r.value(col);
                    atribuicoes << col + QLatin1Char('=') + Literal(s[col]);
                }
            }
            move.executa(cliOrigem, d, sobrevivente);
            RegistraLog(tr, QStringLiteral("Pessoas"), QStringLiteral("U"),
                        DescricaoUnificacao(r.value(QStringLiteral("NOME")).texto(), d, sobrevivente));
            tr.executa("delete from pessoas where cli_origem=" + origem + " and codigo=" + SqlInteiro(d));
        }
        if (!atribuicoes.isEmpty()) {
            // A later assignment of a column replaces an earlier one (the first duplicate wins, as
            // a completed column is no longer empty).
            atribuicoes.removeDuplicates();
            tr.executa("update pessoas set " + atribuicoes.join(QLatin1Char(',')) + " where cli_origem=" + origem
                       + " and codigo=" + SqlInteiro(sobrevivente));
        }
        tr.commit();
    } catch (...) {
        tr.rollback();
        throw;
    }
}

} // namespace vx
