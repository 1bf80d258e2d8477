#include "core/Banco.h"
#include "core/Configuracao.h"
#include "core/UFunc.h"
#include "reports/TRAutorizacoes.h"

#include <QMap>

namespace vx {

using namespace rel;

namespace {

const QString kValor = QStringLiteral("###,##0.00");
const QString kCancelada = QStringLiteral("Autorização Cancelada pelo Usuário");

Decimal zero() { return Decimal::cents(0); }

// What the statement sums while its rows are laid out, for the summary and the totals page.
struct Acumulado {
    SomasGrupos grupos;
    struct Proc {
        QString codigo, nome;
        qint64 quantidade = 0;
        Decimal valor = zero(), sus1 = zero(), sus2 = zero(), popular = zero();
    };
    QMap<QString, Proc> procedimentos; // by description and code
};

// Passes the rows on and lets `f` see each one.
class Observada : public FonteDados {
public:
    Observada(std::unique_ptr<FonteDados> d, std::function<void(const Linha&)> f) : m_d(std::move(d)), m_f(std::move(f)) {}
    bool proxima(Linha& l) override
    {
        if (!m_d->proxima(l))
            return false;
        m_f(l);
        return true;
    }

private:
    std::unique_ptr<FonteDados> m_d;
    std::function<void(const Linha&)> m_f;
};

// Built when the first row is asked for (after the parts before it were laid out).
class Adiada : public FonteDados {
public:
    explicit Adiada(std::function<std::unique_ptr<FonteDados>()> f) : m_f(std::move(f)) {}
    bool proxima(Linha& l) override
    {
        if (!m_d)
            m_d = m_f();
        return m_d->proxima(l);
    }

private:
    std::function<std::unique_ptr<FonteDados>()> m_f;
    std::unique_ptr<FonteDados> m_d;
};

Decimal parteMunicipio(const Linha& l)
{
    return l.decimal(QStringLiteral("VALORTOTAL")) - l.decimal(QStringLiteral("VALORSUS1"))
           - l.decimal(QStringLiteral("VALORSUS2")) - l.decimal(QStringLiteral("VALORPOPULAR"));
}

struct DadosEntidade {
    bool isentoIr = false, simples = false;
    Decimal issqn = zero(), pis = zero(), cofins = zero(), csll = zero();
};

DadosEntidade leEntidade(Transacao& tr, const QString& codigo)
{
    Consulta q(tr);
    q.abre(QStringLiteral("SELECT ISENTOIR, SIMPLESNAC, ISSQN, PIS, COFINS, CSLL FROM ENTIDADES WHERE CODIGO=")
           + SqlInteiro(codigo));
    DadosEntidade e;
    if (!q.eof()) {
        e.isentoIr = q.campo(0).texto().trimmed() == QLatin1String("S");
        e.simples = q.campo(1).texto().trimmed() == QLatin1String("S");
        e.issqn = q.campo(2).decimal();
        e.pis = q.campo(3).decimal();
        e.cofins = q.campo(4).decimal();
        e.csll = q.campo(5).decimal();
    }
    return e;
}

QString linhaEndereco()
{
    QString t = Geral::ENDERECO().trimmed();
    if (!Geral::NUMERO().trimmed().isEmpty())
        t += QStringLiteral(", ") + Geral::NUMERO().trimmed();
    t += QStringLiteral(" - ") + Geral::CIDADE().trimmed() + QLatin1Char('/') + Geral::UF().trimmed();
    if (!Geral::CEP().trimmed().isEmpty())
        t += QStringLiteral(" - CEP: ") + Geral::CEP().trimmed();
    if (!Geral::CONTATO().trimmed().isEmpty())
        t += QStringLiteral(" - ") + Geral::CONTATO().trimmed();
    return t;
}

// "Totais agrupados por Tipo de Procedimento" from the statement's sums.
std::unique_ptr<Relatorio> paginaTotais(const std::shared_ptr<Acumulado>& ac, const QString& linha1, const QString& filtro)
{
    auto r = std::make_unique<Relatorio>();
    r->paisagem();
    r->cabecalhoPadrao(linha1, QStringLiteral("Totais agrupados por Tipo de Procedimento"), filtro);
    r->dados = std::make_unique<Adiada>([ac] {
        QVector<QVariantList> linhas;
        for (const Acumulado::Proc& p : ac->procedimentos)
            linhas.append({p.codigo, p.nome, p.quantidade, QVariant::fromValue(p.valor), QVariant::fromValue(p.sus1),
                           QVariant::fromValue(p.sus2), QVariant::fromValue(p.popular),
                           QVariant::fromValue(p.valor - p.sus1 - p.sus2 - p.popular)});
        return std::make_unique<DadosMemoria>(
            QStringList{QStringLiteral("CODTABSUS"), QStringLiteral("NOME"), QStringLiteral("QUANT"), QStringLiteral("VALOR"),
                        QStringLiteral("SUS1"), QStringLiteral("SUS2"), QStringLiteral("POPULAR"), QStringLiteral("MUNICIPIO")},
            std::move(linhas));
    });
    r->zebrado = true;
    r->coluna(QStringLiteral("Código"), QStringLiteral("CODTABSUS"), 28);
    r->coluna(QStringLiteral("Descrição"), QStringLiteral("NOME"), 0);
    r->coluna(QStringLiteral("Quant."), QStringLiteral("QUANT"), 18).formatado(Formato::Inteiro).soma();
    for (const auto& [titulo, campo] : {std::pair{"Valor Total", "VALOR"}, {"SUS 1", "SUS1"}, {"SUS 2", "SUS2"},
                                        {"Cons. Popular", "POPULAR"}, {"Município", "MUNICIPIO"}})
        r->coluna(QString::fromUtf8(titulo), QLatin1String(campo), 28).soma().comMascara(kValor);
    r->resumo = r->bandaTotais(QStringLiteral("Totais:"), r->pagina.larguraUtilMm());
    return r;
}

} // namespace

QVector<std::shared_ptr<Parte>> TRAutorizacoesPorMunicipioLista::Monta(Transacao& tr, const FiltroAutorizacoes& f,
                                                                      bool comTotais, const QDateTime& agora)
{
    const ConsultaRelatorio c = SqlExtrato(f);
    const bool culvar = f.perfilTem(QStringLiteral("CULVAR"));
    const bool glosa = f.bloqueio != Bloqueio::Bloqueados;
    auto ac = std::make_shared<Acumulado>();

    // A glossed line (blocked, listed with "Todos os Lançados") counts in no total.
    auto glosada = [glosa](const Linha& l) { return glosa && l.data(QStringLiteral("DATABLOQUEIO")).isValid(); };
    auto conta = [glosada](const QString& campo) {
        return [glosada, campo](const Linha& l) { return glosada(l) ? zero() : l.decimal(campo); };
    };

    auto r = std::make_shared<Relatorio>();
    r->paisagem();
    r->dados = std::make_unique<Observada>(std::make_unique<DadosSql>(tr, c.sql, c.parametros), [ac, glosada](const Linha& l) {
        if (glosada(l))
            return;
        const Decimal valor = l.decimal(QStringLiteral("VALORTOTAL"));
        ac->grupos.soma(l.texto(QStringLiteral("GRUPOCOBR")).trimmed(), valor);
        const QString nome = l.texto(QStringLiteral("NOMEPROCED"));
        Acumulado::Proc& p = ac->procedimentos[nome + QLatin1Char('|') + l.texto(QStringLiteral("CODPROCEDIMENTO"))];
        p.codigo = l.texto(QStringLiteral("CODTABSUS"));
        p.nome = nome;
        p.quantidade += l.inteiro(QStringLiteral("QUANTIDADE"));
        p.valor = p.valor + valor;
        p.sus1 = p.sus1 + l.decimal(QStringLiteral("VALORSUS1"));
        p.sus2 = p.sus2 + l.decimal(QStringLiteral("VALORSUS2"));
        p.popular = p.popular + l.decimal(QStringLiteral("VALORPOPULAR"));
    });

    QString linha1 = NomeInstalacao(f.identidade);
    if (f.consorcioPapel())
        linha1 = culvar && f.identidade == QLatin1String("CULVAR") ? NomeCompletoCulvar() : f.perfil;
    CabecalhoAutorizacoes(*r, linha1, TituloRelatorioAutorizacoes(f), c.legenda,
                          f.comControle() ? ControleExtrato(f.data1, agora) : QString());
    const double w = r->pagina.larguraUtilMm();

    // First page: the consortium's identification and the municipality's receipt.
    ReciboExtrato recibo;
    if (f.municipio.preenchido())
        recibo = ReciboDoMunicipio(tr, f.municipio.codigo.trimmed(), f.data2);
    QStringList topo;
    if (f.consorcioPapel())
        topo << QStringLiteral("CNPJ: ") + Geral::CNPJCPF().trimmed()
             << linhaEndereco();
    if (!recibo.texto.isEmpty())
        topo << recibo.texto;
    if (!topo.isEmpty()) {
        r->titulo = Banda(topo.size() * 4.2 + 1);
        for (int i = 0; i < topo.size(); ++i)
            r->titulo.texto(QRectF(0, i * 4.2, w, 4), topo[i], i == topo.size() - 1 && !recibo.texto.isEmpty() ? Alinha::Direita : Alinha::Esquerda);
    }

    r->coluna(QStringLiteral("Aut."), QStringLiteral("ID_MARCACAO"), 14).formatado(Formato::Texto);
    r->coluna(QStringLiteral("Realização"), QStringLiteral("DATAREALIZACAO"), 18).formatado(Formato::Data);
    if (f.porEntidade)
        r->coluna(QStringLiteral("Município"), QString(), 42).calculada([](const Contexto& c) {
            return c.campo(QStringLiteral("CLI_ORIGEM")) + QLatin1Char('-') + c.campo(QStringLiteral("MUNICIPIO"));
        });
    else
        r->coluna(QStringLiteral("Entidade"), QString(), 42).calculada([](const Contexto& c) {
            QString nome = c.campo(QStringLiteral("NOMEFANTASIA")).trimmed();
            if (nome.isEmpty())
                nome = c.campo(QStringLiteral("RAZAOSOCIAL"));
            return ZerosEsquerda(c.campo(QStringLiteral("CODENTIDADE")), 4) + QLatin1Char('-') + nome;
        });
    r->coluna(QStringLiteral("Paciente"), QString(), 0).calculada([](const Contexto& c) {
        const QString obs = c.campo(QStringLiteral("OBS")).trimmed();
        const QString nome = c.campo(QStringLiteral("NOMEPACIENTE"));
        return obs.isEmpty() || obs == kCancelada ? nome : nome + QLatin1Char(' ') + obs;
    });
    r->coluna(QStringLiteral("Procedimento"), QString(), culvar ? 62 : 90).calculada([](const Contexto& c) {
        return c.campo(QStringLiteral("CODTABSUS")) + QLatin1Char(' ') + c.campo(QStringLiteral("NOMEPROCED"));
    });
    r->coluna(QStringLiteral("Qtd"), QStringLiteral("QUANTIDADE"), 10).formatado(Formato::Inteiro).somaDe(conta(QStringLiteral("QUANTIDADE")));
    r->coluna(QStringLiteral("Valor"), QStringLiteral("VALORTOTAL"), 27).somaDe(conta(QStringLiteral("VALORTOTAL"))).comMascara(kValor);
    if (culvar) {
        r->coluna(QStringLiteral("SUS 1"), QStringLiteral("VALORSUS1"), 20).somaDe(conta(QStringLiteral("VALORSUS1"))).comMascara(kValor);
        r->coluna(QStringLiteral("SUS 2"), QStringLiteral("VALORSUS2"), 20).somaDe(conta(QStringLiteral("VALORSUS2"))).comMascara(kValor);
        r->coluna(QStringLiteral("Popular"), QStringLiteral("VALORPOPULAR"), 20).somaDe(conta(QStringLiteral("VALORPOPULAR"))).comMascara(kValor);
        r->coluna(QStringLiteral("Município"), QStringLiteral("PARTEMUN"), 22)
            .calculada([](const Contexto& c) { return c.linha ? FormataValor(parteMunicipio(*c.linha), kValor) : QString(); })
            .somaDe([glosada](const Linha& l) { return glosada(l) ? zero() : parteMunicipio(l); })
            .comMascara(kValor);
    }
    const auto pos = PosicoesColunas(r->colunas, w);
    const int iValor = 6;

    // The glossed line under a blocked procedure.
    Banda& g = r->detalhe(4.2);
    g.visivel = [glosada](const Contexto& c) { return c.linha && glosada(*c.linha); };
    g.texto(QRectF(pos[2].first, 0, pos[iValor].first - pos[2].first - 1, 4),
            QStringLiteral("Procedimento acima foi glosado. Motivo: {MOTIVOBLOQUEIO}"))
        .tamanho(7);
    g.calculado(QRectF(pos[iValor].first, 0, pos[iValor].second - 0.8, 4),
                [](const Contexto& c) { return QStringLiteral("(-) ") + FormataValor(c.linha->decimal(QStringLiteral("VALORTOTAL")), kValor); },
                Alinha::Direita)
        .tamanho(7);

    Grupo& grupo = r->grupo(QStringLiteral("CODMESTRE"));
    grupo.repeteCabecalho = true;
    grupo.cabecalho = Banda(5.5);
    grupo.cabecalho.fundo = [](const Contexto&) { return QColor(0xE6, 0xE6, 0xE6); };
    grupo.cabecalho.texto(QRectF(0, 0.7, w, 4.5), QStringLiteral("{CODMESTRE} - {NOMEMESTRE}")).negrito();

    // "SubTotal:" / "Total Geral:" with the quantity and "R$ " before the value.
    auto totais = [&](const QString& rotulo) {
        Banda b = r->bandaTotais(rotulo, w);
        for (Elemento& e : b.elementos)
            if (e.tipo == Elemento::Tipo::Soma && e.texto.compare(QStringLiteral("VALORTOTAL"), Qt::CaseInsensitive) == 0) {
                e.tipo = Elemento::Tipo::Texto;
                e.funcao = [](const Contexto& c) {
                    return QStringLiteral("R$ ") + FormataValor(c.totais->soma(QStringLiteral("VALORTOTAL")), kValor);
                };
            }
        return b;
    };
    grupo.rodape = totais(QStringLiteral("SubTotal:"));
    r->resumo = totais(QStringLiteral("Total Geral:"));

    // Summary: sources, taxes of one entity, billing groups and the CULVAR receipt text.
    const Fonte mono{QStringLiteral("Liberation Mono"), 8};
    auto bloco = [&](double altura, FuncTexto texto) {
        const double y = r->resumo.altura;
        r->resumo.calculado(QRectF(0, y + 0.5, w, altura), std::move(texto)).quebraLinha().com(mono);
        r->resumo.altura = y + altura + 1;
    };
    auto soma = [](const Contexto& c, const char* nome) { return c.totais->soma(QLatin1String(nome)); };
    if (culvar)
        bloco(4, [soma](const Contexto& c) {
            return QStringLiteral("Total SUS 1: R$ ") + FormataValor(soma(c, "VALORSUS1"), kValor)
                   + QStringLiteral("    Total SUS 2: R$ ") + FormataValor(soma(c, "VALORSUS2"), kValor)
                   + QStringLiteral("    Total Cons. Popular: R$ ") + FormataValor(soma(c, "VALORPOPULAR"), kValor)
                   + QStringLiteral("    Total Município: R$ ") + FormataValor(soma(c, "PARTEMUN"), kValor);
        });
    if (f.entidade.preenchido()) {
        const DadosEntidade e = leEntidade(tr, f.entidade.codigo.trimmed());
        bloco(4, [e, soma](const Contexto& c) {
            const ImpostosExtrato i = CalculaImpostos(soma(c, "VALORTOTAL"), e.isentoIr, e.simples, e.issqn, e.pis, e.cofins, e.csll);
            return QStringLiteral("IRRF: R$ ") + FormataValor(i.irrf, kValor) + QStringLiteral("   ISSQN: R$ ")
                   + FormataValor(i.issqn, kValor) + QStringLiteral("   PIS: R$ ") + FormataValor(i.pis, kValor)
                   + QStringLiteral("   COFINS: R$ ") + FormataValor(i.cofins, kValor) + QStringLiteral("   CSLL: R$ ")
                   + FormataValor(i.csll, kValor) + QStringLiteral("   SALDO: R$ ") + FormataValor(i.saldo, kValor);
        });
    }
    bloco(4, [ac](const Contexto&) { return ac->grupos.linhas().join(QLatin1Char('\n')); });
    if (f.consorcioPapel() && f.identidade == QLatin1String("CULVAR") && f.municipio.preenchido() && !f.porEntidade) {
        const QString municipio = f.municipio.nome;
        const QString lugar = Geral::CIDADE().trimmed() + QLatin1Char('/') + Geral::UF().trimmed() + QLatin1Char(',')
                              + TextoData(recibo.emissao);
        bloco(30, [municipio, lugar, soma](const Contexto& c) {
            const Decimal total = soma(c, "VALORTOTAL");
            QString extenso;
            try {
                extenso = ValorExtenso(total);
            } catch (const ErroValor&) {
            }
            return QStringLiteral("\nRecebemos de: Prefeitura Municipal de ") + municipio + QStringLiteral("\no valor de R$ ")
                   + FormataValor(total, kValor) + QStringLiteral(" (") + extenso + QStringLiteral(")\nref. a ")
                   + QString::number(soma(c, "QUANTIDADE").toCents() / 100)
                   + QStringLiteral(" procedimentos de saúde supra relacionados, distribuídos da seguinte maneira:")
                   + QStringLiteral("\nRecursos do SUS.............: R$ ") + FormataValor(soma(c, "VALORSUS1"), kValor)
                   + QStringLiteral("\nRecursos do SUS 2...........: R$ ") + FormataValor(soma(c, "VALORSUS2"), kValor)
                   + QStringLiteral("\nRecursos da Consulta Popular: R$ ") + FormataValor(soma(c, "VALORPOPULAR"), kValor)
                   + QStringLiteral("\nCompetência do Município....: R$ ") + FormataValor(soma(c, "PARTEMUN"), kValor)
                   + QStringLiteral("\n\n") + lugar + QStringLiteral(".                       _________________________________");
        });
    }

    QVector<std::shared_ptr<Parte>> partes{r};
    if (comTotais)
        partes << std::shared_ptr<Parte>(paginaTotais(ac, linha1, c.legenda));
    return partes;
}

} // namespace vx
