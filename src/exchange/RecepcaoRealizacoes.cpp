#include "exchange/RecepcaoRealizacoes.h"
#include "billing/Rateio.h"
#include "core/Banco.h"
#include "core/Configuracao.h"
#include "core/MenuPrincipal.h"
#include "core/TarefaSemJanela.h"
#include "core/UDMCune.h"
#include "core/UFunc.h"
#include "core/UVariaveis.h"
#include "exchange/CorrecaoConsultas.h"
#include "exchange/ftp/FtpCliente.h"
#include "exchange/ftp/TransporteFtp.h"
#include "exchange/LoteImportacao.h"

#include <QHash>
#include <QRegularExpression>
#include <QTextStream>

namespace vx {

QString PeriodoDe(const QDate& d)
{
    return d.isValid() ? d.toString(QStringLiteral("yyyy-MM")) : QString();
}

QString PastaDoPeriodo(const QString& periodo)
{
    static const QRegularExpression re(QStringLiteral("^(\\d{4})-(\\d{2})$"));
    const auto m = re.match(periodo);
    if (!m.hasMatch() || m.captured(2).toInt() < 1 || m.captured(2).toInt() > 12)
        return {};
    return m.captured(1) + QLatin1Char('_') + m.captured(2);
}

QString PeriodoDaLinhaDeComando(const QString& texto)
{
    static const QRegularExpression re(QStringLiteral("^(\\d{1,2})/(\\d{4})$"));
    const auto m = re.match(texto.trimmed());
    if (!m.hasMatch())
        return {};
    const int mes = m.captured(1).toInt();
    if (mes < 1 || mes > 12)
        return {};
    return m.captured(2) + QLatin1Char('-') + QString::number(mes).rightJustified(2, QLatin1Char('0'));
}

QStringList PeriodosDaRecepcao(bool perfilCune, const QString& inicioCalendario, const QString& fimCalendario,
                               const QString& digitado)
{
    if (!perfilCune)
        return {digitado.isEmpty() ? QString::fromLatin1(kPeriodoVazio) : digitado};
    QStringList r;
    for (const QString& d : {inicioCalendario, fimCalendario}) {
        const QString p = PeriodoDe(LeData(d));
        r << (p.isEmpty() ? QString::fromLatin1(kPeriodoVazio) : p);
    }
    return r;
}

PedidoRecepcao PedidoDoPerfil(Transacao& tr, const QString& periodoDigitado, const QDate& dataBase)
{
    PedidoRecepcao p;
    if (!tr.ativa())
        tr.inicia();
    QString fim;
    Consulta q(tr);
    q.abre(QStringLiteral("select * from calendarios where selecao='S'"));
    if (!q.eof()) {
        p.inicioCalendario = q.campo(QStringLiteral("DATAINICIAL")).texto();
        fim = q.campo(QStringLiteral("DATAFINAL")).texto();
    }
    q.fecha();
    const bool cune = TemPerfil(QStringLiteral("CUNE"));
    p.periodos = PeriodosDaRecepcao(cune, p.inicioCalendario, fim, periodoDigitado);
    p.corrigeConsultas = cune;
    p.consomeCreditos = TemPerfil(QStringLiteral("CULVAR"));
    if (TemPerfil(QStringLiteral("CUMBEL")))
        p.dataBase = dataBase.isValid() ? dataBase : DataAtualDate();
    return p;
}

namespace {

class Recepcao {
public:
    Recepcao(const ContextoRecepcao& ctx, const PedidoRecepcao& pedido) : c(ctx), p(pedido) {}

    ResultadoRecepcao executa()
    {
        linha(QStringLiteral(" => Conectando ao servidor ftp..."));
        bool conectou = false;
        try {
            conectou = ConectaFtp(*c.ftp);
        } catch (const ErroFtp& e) {
            r.erro = e.texto();
        }
        if (!conectou) {
            linha(QStringLiteral("Falhou!"));
            r.falhou = true;
            if (r.erro.isEmpty())
                r.erro = QStringLiteral("Não foi possível conectar ao servidor!");
            aviso(QStringLiteral("Não foi possível conectar ao servidor!"));
            return r;
        }
        r.conectou = true;
        try {
            c.ftp->mudaPasta(QStringLiteral("faturamento"));
        } catch (const ErroFtp& e) {
            linha(QStringLiteral(" => (FALHOU)"));
            return para(QStringLiteral("Pasta faturamento: ") + e.texto());
        }
        const QString base = c.ftp->pastaAtual();
        for (const QString& periodo : p.periodos) {
            if (!passo(periodo, base))
                return r;
        }
        c.erros->grava();
        if (p.corrigeConsultas) {
            linha(QStringLiteral(" => Verificando valor das consultas..."));
            if (!noBanco([&](Transacao& tr) { CorrigeValorConsultas(tr, agora()); }))
                return r;
        }
        linha(r.pendencias() == 0
                  ? QStringLiteral(" => Inseridos %1 procedimentos (OK)").arg(r.importados)
                  : QStringLiteral(" => Inseridos %1 procedimentos; ficaram para a próxima execução: %2")
                        .arg(r.importados)
                        .arg(r.pendencias()));
        linha(QStringLiteral(" => PROCESSO CONCLUIDO!"));
        r.concluida = true;
        return r;
    }

private:
    QDateTime agora() const { return c.agora.isValid() ? c.agora : QDateTime::currentDateTime(); }

    void linha(const QString& t)
    {
        if (c.status)
            c.status(t);
    }
    void aviso(const QString& t)
    {
        if (c.aviso)
            c.aviso(t);
    }
    ResultadoRecepcao para(const QString& erro)
    {
        r.falhou = true;
        r.erro = erro;
        c.erros->grava();
        return r;
    }
    // A step of its own transaction on the main one; a database error stops the run.
    bool noBanco(const std::function<void(Transacao&)>& f)
    {
        try {
            c.tr->inicia();
            f(*c.tr);
            c.tr->commit();
            return true;
        } catch (const std::exception& e) {
            c.tr->rollback();
            linha(QStringLiteral(" => Erro: ") + TextoErro(e));
            para(TextoErro(e));
            return false;
        }
    }

    bool passo(const QString& periodo, const QString& base)
    {
        const QString pasta = PastaDoPeriodo(periodo);
        if (pasta.isEmpty()) {
            ++r.periodosVazios;
            aviso(QStringLiteral("Informe o Período que deseja sincronizar"));
            return true;
        }
        linha(QStringLiteral(" => Verificando Faturamento Período ") + periodo + QStringLiteral("..."));
        const QString remota = base + QLatin1Char('/') + pasta;
        try {
            c.ftp->mudaPasta(remota);
        } catch (const ErroFtp& e) {
            linha(QStringLiteral(" => (FALHOU)"));
            para(QStringLiteral("Pasta ") + remota + QStringLiteral(": ") + e.texto());
            return false;
        }
        const bool normal = p.modo == ModoRealizacao::Normal;
        QStringList nomes;
        try {
            nomes = c.ftp->listaNomes(normal ? QStringLiteral("M*.xml") : QStringLiteral("okcune M*.xml"));
        } catch (const ErroFtp& e) {
            linha(QStringLiteral(" => Não foi possível listar a pasta %1: %2 (FALHOU)").arg(remota, e.texto()));
            para(QStringLiteral("Listagem da pasta ") + remota + QStringLiteral(": ") + e.texto());
            return false;
        }
        OpcoesRealizacao op;
        op.modo = p.modo;
        op.inicioCalendario = LeData(p.inicioCalendario);
        op.dataBase = p.dataBase;
        op.contador = &m_contador;
        QList<ItemLote> itens;
        for (const QString& nome : std::as_const(nomes))
            itens.append({remota, nome});
        OpcoesLote lote;
        lote.marca = MarcaDaRealizacao(p.modo);
        lote.linha = [this](const QString& t) { linha(t); };
        lote.antesDoArquivo = [this](const QString& nome) { linha(QStringLiteral(" => Arquivo ") + nome + QStringLiteral("...")); };
        lote.progresso = c.progresso;
        lote.agora = c.agora;
        // The audit re-load numbers the files by their place in the listing.
        QHash<QString, int> posicoes;
        for (int i = 0; i < nomes.size(); ++i)
            posicoes.insert(nomes[i], i);
        const ImportaArquivo realizacao = ImportadorDeRealizacao(op, *c.erros, c.agora);
        const ImportaArquivo importa = [&](Consulta& q, const ArquivoRecebido& a, QString& sql) {
            if (p.modo != ModoRealizacao::Auditoria)
                return realizacao(q, a, sql);
            OpcoesRealizacao o = op;
            o.posicao = posicoes.value(a.nome);
            return ImportadorDeRealizacao(o, *c.erros, c.agora)(q, a, sql);
        };
        const ResultadoLote rl = ImportaLote(*c.tr, *c.ftp, itens, lote, importa, *c.erros);
        r.lote.soma(rl);
        r.listados += rl.listados;
        r.importados += rl.importados;
        r.foraDoPeriodo += rl.foraDoPeriodo;
        r.naoBaixados += rl.naoBaixados;
        r.falhados += rl.falhados;
        if (rl.interrompido) {
            linha(QStringLiteral(" => Recepção interrompida."));
            para(QStringLiteral("Recepção interrompida"));
            return false;
        }
        if (p.modo == ModoRealizacao::Normal) {
            if (!noBanco([](Transacao& tr) {
                    tr.executa(QStringLiteral(
                        "UPDATE MARCACAO_PROCEDS MP SET MP.VALORTOTAL=(MP.QUANTIDADE*(SELECT COALESCE(P.VALOR,0) FROM "
                        "PROCEDIMENTOS P WHERE MP.CODPROCEDIMENTO=P.CODIGO)) WHERE MP.VALORTOTAL IS NULL"));
                    tr.executa(QStringLiteral(
                        "UPDATE MARCACAO_PROCEDS MP SET MP.VALORTOTALSUS=(MP.QUANTIDADE*(SELECT COALESCE(P.VALORSUS,0) "
                        "FROM PROCEDIMENTOS P WHERE MP.CODPROCEDIMENTO=P.CODIGO)) WHERE MP.VALORTOTALSUS IS NULL"));
                }))
                return false;
            if (p.consomeCreditos) {
                linha(LinhaComHora(QStringLiteral(" => Verificando Creditos...")));
                if (!noBanco([](Transacao& tr) { ConsomeCreditos(tr); }))
                    return false;
            }
        } else if (p.modo == ModoRealizacao::Renumeracao) {
            if (!noBanco([](Transacao& tr) {
                    tr.executa(QStringLiteral("DELETE FROM PESSOAS P WHERE NOT EXISTS (SELECT M.* FROM MARCACAO M WHERE "
                                              "M.CODPESSOA=P.CODIGO)"));
                }))
                return false;
        }
        try {
            c.ftp->mudaPasta(base);
        } catch (const ErroFtp& e) {
            linha(QStringLiteral(" => (FALHOU)"));
            para(QStringLiteral("Pasta faturamento: ") + e.texto());
            return false;
        }
        return true;
    }

    const ContextoRecepcao& c;
    const PedidoRecepcao& p;
    ResultadoRecepcao r;
    qint64 m_contador = 100000;
};

} // namespace

ResultadoRecepcao ExecutaRecepcao(const ContextoRecepcao& ctx, const PedidoRecepcao& pedido)
{
    CriaPastasTroca();
    return Recepcao(ctx, pedido).executa();
}

QString ResumoRecepcao(const ResultadoRecepcao& r, const QString& erroTxt)
{
    QString t = QStringLiteral("Recepção %1: listados %2; recebidos %3; já recebidos antes %4; anteriores ao calendário %5; "
                               "não baixados %6; com erro %7; marcas pendentes %8; em outra estação %9")
                    .arg(r.tudoRecebido() ? QStringLiteral("completa") : QStringLiteral("incompleta"))
                    .arg(r.listados)
                    .arg(r.importados)
                    .arg(r.lote.jaRegistrados)
                    .arg(r.foraDoPeriodo)
                    .arg(r.naoBaixados)
                    .arg(r.falhados)
                    .arg(r.lote.naoMarcados)
                    .arg(r.lote.emOutraEstacao);
    if (r.falhados)
        t += QStringLiteral(" (veja ") + erroTxt + QLatin1Char(')');
    return t + QLatin1Char('.');
}

int RecebeSemJanela(TDMCUNE& dm, QTextStream& saida, const QString& periodo)
{
    if (PapelInstalacao() != QLatin1Char('C')) {
        saida << QStringLiteral("A recepção de lançamentos é feita pela instalação do consórcio.") << Qt::endl;
        return TarefaImpossivel;
    }
    QString digitado;
    if (!periodo.isNull()) {
        digitado = PeriodoDaLinhaDeComando(periodo);
        if (digitado.isEmpty()) {
            saida << QStringLiteral("Período inválido: \"%1\" (use MM/AAAA).").arg(periodo) << Qt::endl;
            return TarefaImpossivel;
        }
    }
    PedidoRecepcao pedido = PedidoDoPerfil(dm.IBTransaction, digitado.isEmpty() ? PeriodoDe(DataAtualDate()) : digitado);
    dm.IBTransaction.rollback();
    // A period given on the command line is the one pass, whatever the profile.
    if (!digitado.isEmpty())
        pedido.periodos = {digitado};
    LogErros erros;
    ContextoRecepcao ctx;
    ctx.tr = &dm.IBTransaction;
    ctx.ftp = &ClienteFtpCompartilhado();
    ctx.erros = &erros;
    ctx.status = [&saida](const QString& l) {
        // Lines that carry their own time are printed as they are.
        if (!l.isEmpty() && l.front().isDigit())
            saida << l << Qt::endl;
        else
            saida << LinhaComHora(l.startsWith(QLatin1String(" =>")) ? l : QStringLiteral(" => ") + l) << Qt::endl;
    };
    ctx.aviso = [&saida](const QString& t) { saida << t << Qt::endl; };
    const ResultadoRecepcao r = ExecutaRecepcao(ctx, pedido);
    ctx.ftp->desconecta();
    if (!r.erro.isEmpty())
        saida << r.erro << Qt::endl;
    saida << ResumoRecepcao(r, erros.caminho()) << Qt::endl;
    if (r.periodosVazios == pedido.periodos.size())
        return TarefaImpossivel;
    return r.tudoRecebido() ? TarefaCompleta : TarefaIncompleta;
}

} // namespace vx
