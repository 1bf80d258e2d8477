#include "billing/Documentos.h"
#include "billing/Faturamento.h"
#include "core/Banco.h"
#include "core/Cadastro.h"
#include "core/Configuracao.h"
#include "core/UFunc.h"

#include <QHash>

namespace vx {

namespace {

const QString kLiquido = QStringLiteral(
    "(COALESCE(FM.VALORBRUTO,0)+COALESCE(FM.ACRESCDESC,0)-COALESCE(FM.DESCSUS,0)+COALESCE(FM.DESCCUNE,0)"
    "-COALESCE(FM.DESCPPC,0))");

QString SqlChar(QChar c) { return SqlTexto(QString(c)); }

QString tipoFatura(const CobrancaPeriodo& c) { return c.taxas ? QStringLiteral("TAXA") : QStringLiteral("FAT"); }

// "mm/yyyy" of the period end.
QString mesAnoFim(const CobrancaPeriodo& c) { return c.fim.toString(QStringLiteral("MM/yyyy")); }

FaturaCobranca faturaDaLinha(const LinhaCadastro& l)
{
    FaturaCobranca f;
    f.codigo = l.texto(QStringLiteral("CODCLIENTE"));
    f.nome = l.texto(QStringLiteral("NOME"));
    f.boleto = l.texto(QStringLiteral("BOLETO"));
    f.cnpj = l.texto(QStringLiteral("CNPJ"));
    f.lei = l.texto(QStringLiteral("LEIAUTORIZATIVA"));
    f.endereco = l.texto(QStringLiteral("ENDERECO"));
    f.endnum = l.texto(QStringLiteral("ENDNUM"));
    f.bairro = l.texto(QStringLiteral("BAIRRO"));
    f.cep = l.texto(QStringLiteral("CEP"));
    f.codContTaxa = l.texto(QStringLiteral("CODCONTTAXA"));
    f.codContProd = l.texto(QStringLiteral("CODCONTPROD"));
    f.liquido = l[QStringLiteral("VALORLIQUIDO")].decimal();
    f.bruto = l[QStringLiteral("VALORBRUTO")].decimal();
    f.descSus = l[QStringLiteral("DESCSUS")].decimal();
    f.acrescDesc = l[QStringLiteral("ACRESCDESC")].decimal();
    return f;
}

const QString kColunasCliente = QStringLiteral(
    "C.NOME, C.BOLETO, C.CNPJ, C.LEIAUTORIZATIVA, C.ENDERECO, C.ENDNUM, C.BAIRRO, C.CEP, C.CODCONTTAXA, C.CODCONTPROD");

// The registered document of a municipality, emission date and origin (the highest number); an
// annulled one no longer counts.
QString sqlDocumentoDoMes(QChar tipo, const QString& municipio, const QDate& emissao, QChar origem)
{
    return QStringLiteral("select first 1 numdoc, datavencimento from docemissao where tipodoc=") + SqlChar(tipo)
           + QStringLiteral(" and codcliente=") + SqlTexto(municipio) + QStringLiteral(" and dataemissao=")
           + SqlData(emissao) + QStringLiteral(" and avulsofatura=") + SqlChar(origem)
           + QStringLiteral(" and dataexclusao is null order by numdoc desc");
}

QString descricaoFatura(const CobrancaPeriodo& c, const FaturaCobranca& f)
{
    return c.taxas ? c.descTaxas : f.boleto;
}

QString somenteDigitos(QString s)
{
    s.remove(QLatin1Char('.'));
    s.remove(QLatin1Char('-'));
    s.remove(QLatin1Char('/'));
    return s.trimmed();
}

} // namespace

qint64 ProximoNumeroDocumento(Transacao& tr, QChar tipo)
{
    return tr.valor(QStringLiteral("select max(numdoc) as numdoc from docemissao where tipodoc=") + SqlChar(tipo))
               .toLongLong()
           + 1;
}

QString NomePagador(const QString& referencia, const QString& municipio)
{
    if (referencia.toUpper().contains(QLatin1String("PLOVEX")))
        return municipio;
    return NomePagadorAviso(municipio);
}

QString NomePagadorAviso(const QString& municipio)
{
    if (municipio.toUpper().contains(QLatin1String("OZU")))
        return QStringLiteral("Município de ") + municipio + QStringLiteral("/Poder Executivo");
    return QStringLiteral("Poder Executivo do Município de ") + municipio;
}

QVector<FaturaCobranca> FaturasCobranca(Transacao& tr, const CobrancaPeriodo& c, const QString& letras, bool positivos)
{
    QStringList em;
    for (QChar l : letras)
        em << SqlChar(l);
    QString sql = QStringLiteral("select FM.CODCLIENTE, ") + kLiquido
                  + QStringLiteral(" AS VALORLIQUIDO, FM.VALORBRUTO, FM.DESCSUS, FM.ACRESCDESC, ") + kColunasCliente
                  + QStringLiteral(" from FAT_MUNICIPIO FM inner join CLIENTES C on FM.CODCLIENTE=C.CODIGO where FM.DATAINI=")
                  + SqlData(c.inicio) + QStringLiteral(" and FM.DATAFIM=") + SqlData(c.fim) + QStringLiteral(" and FM.TIPO=")
                  + SqlTexto(tipoFatura(c)) + QStringLiteral(" and ")
                  + (c.taxas ? QStringLiteral("C.COBRTAXA") : QStringLiteral("C.COBRPRODUCAO")) + QStringLiteral(" in (")
                  + em.join(QLatin1Char(',')) + QLatin1Char(')');
    if (positivos)
        sql += QStringLiteral(" and ") + kLiquido + QStringLiteral(" > 0");
    if (!c.municipio.isEmpty())
        sql += QStringLiteral(" and FM.CODCLIENTE=") + SqlTexto(c.municipio);
    sql += QStringLiteral(" order by C.NOME, FM.CODCLIENTE");
    QVector<FaturaCobranca> r;
    for (const LinhaCadastro& l : LeLinhas(tr, sql))
        r << faturaDaLinha(l);
    return r;
}

IdentidadeConsorcio IdentidadeConsorcio::DaConfiguracao()
{
    IdentidadeConsorcio id;
    id.nome = Geral::CONSORCIO();
    id.endereco = Geral::ENDERECO();
    id.numero = Geral::NUMERO();
    id.cnpj = Geral::CNPJCPF();
    id.contato = Geral::CONTATO();
    id.cidade = Geral::CIDADE();
    id.uf = Geral::UF();
    id.responsavel = Geral::RESPONSAVEL();
    id.cargo = Geral::CARGORESP();
    return id;
}

QString IdentidadeConsorcio::linhaEndereco() const { return endereco + QStringLiteral(", ") + numero; }

QString TituloRecibo(qint64 numero) { return QStringLiteral("RECIBO Nº ") + ZerosEsquerda(numero, 5); }

QString ValorRecibo(const Decimal& v)
{
    return QStringLiteral("R$ ") + FormataValor(v) + QStringLiteral(" (") + ValorExtenso(v) + QLatin1Char(')');
}

QString LocalDataRecibo(const IdentidadeConsorcio& id, const QDate& emissao)
{
    return id.cidade + QLatin1Char('/') + id.uf + QStringLiteral(", ") + DataExtenso(emissao);
}

QVector<Recibo> RecibosFatura(Transacao& tr, const CobrancaPeriodo& c, const IdentidadeConsorcio& id)
{
    return Lendo(tr, [&] {
        const QChar origem = OrigemFatura(c.taxas);
        qint64 proximo = ProximoNumeroDocumento(tr, kRecibo);
        QVector<Recibo> r;
        for (const FaturaCobranca& f : FaturasCobranca(tr, c, QStringLiteral("RA"), true)) {
            Recibo rc;
            rc.codigo = f.codigo;
            rc.pagador = NomePagador(id.nome, f.nome) + QStringLiteral(" - CNPJ: ") + f.cnpj;
            rc.valor = f.liquido;
            rc.referente = descricaoFatura(c, f);
            rc.emissao = c.emissao;
            if (const auto reg = LeLinha(tr, sqlDocumentoDoMes(kRecibo, f.codigo, c.emissao, origem)))
                rc.numero = (*reg)[QStringLiteral("NUMDOC")].inteiro();
            else
                rc.numero = proximo++;
            if (const auto b = LeLinha(tr, sqlDocumentoDoMes(kBoleto, f.codigo, c.emissao, origem)))
                rc.condicionado = QStringLiteral("Documento condicionado a quitação do Boleto nº ")
                                  + ZerosEsquerda((*b)[QStringLiteral("NUMDOC")].inteiro(), 10)
                                  + QStringLiteral(", venc. em ") + b->texto(QStringLiteral("DATAVENCIMENTO"))
                                  + QLatin1Char('.');
            r << rc;
        }
        return r;
    });
}

int GravaRecibosFatura(Transacao& tr, const CobrancaPeriodo& c)
{
    int n = 0;
    EmTransacao(tr, [&](Consulta& q) {
        const QChar origem = OrigemFatura(c.taxas);
        qint64 proximo = ProximoNumeroDocumento(tr, kRecibo);
        for (const FaturaCobranca& f : FaturasCobranca(tr, c, QStringLiteral("RA"), true)) {
            const QString descricao = descricaoFatura(c, f);
            const auto reg = LeLinha(tr, sqlDocumentoDoMes(kRecibo, f.codigo, c.emissao, origem));
            if (!reg) {
                q.executa(QStringLiteral("insert into docemissao(tipodoc, numdoc, codcliente, dataemissao, "
                                         "datavencimento, valor, avulsofatura, descricao) values(")
                          + SqlChar(kRecibo) + QLatin1Char(',') + SqlInteiro(proximo++) + QLatin1Char(',')
                          + SqlTexto(f.codigo) + QLatin1Char(',') + SqlData(c.emissao) + QLatin1Char(',')
                          + SqlData(c.vencimento) + QLatin1Char(',') + SqlDecimal(f.liquido) + QLatin1Char(',')
                          + SqlChar(origem) + QLatin1Char(',') + SqlTexto(descricao) + QLatin1Char(')'));
            } else {
                q.executa(QStringLiteral("update docemissao set datavencimento=") + SqlData(c.vencimento)
                          + QStringLiteral(", valor=") + SqlDecimal(f.liquido) + QStringLiteral(", descricao=")
                          + SqlTexto(descricao) + QStringLiteral(" where tipodoc=") + SqlChar(kRecibo)
                          + QStringLiteral(" and numdoc=") + SqlInteiro((*reg)[QStringLiteral("NUMDOC")].inteiro()));
            }
            ++n;
        }
        return RegistroLog{QStringLiteral("DocEmissao"), QStringLiteral("I"),
                           QStringLiteral("Recibos ") + tipoFatura(c) + QLatin1Char(' ') + TextoData(c.inicio)
                               + QLatin1Char('-') + TextoData(c.fim) + QStringLiteral(" emissao ")
                               + TextoData(c.emissao) + QStringLiteral(": ") + QString::number(n)};
    });
    return n;
}

QString ValorAviso(const Decimal& v)
{
    if (v < Decimal())
        return QStringLiteral("R$ 0,00 (Este mês não será necessário pagar a fatura pois o gasto foi inferior ao "
                              "valor que o município tem direito pelo faturamento do SUS)");
    return ValorRecibo(v);
}

QString LinhaDemonstrativo(const QString& rotulo, const Decimal& v)
{
    return rotulo.left(30).leftJustified(30, QLatin1Char(' ')) + QStringLiteral(" R$ ") + FormataValor(v);
}

QVector<AvisoEmpenho> AvisosFatura(Transacao& tr, const CobrancaPeriodo& c, const QString& perfil)
{
    const bool culvar = perfil.toUpper().contains(QLatin1String("CULVAR"));
    const QString janela = QStringLiteral(" and M.DATA_IMPORTACAO between ? and ?"
                                          " and MP.REALIZADO='S' and M.DATABLOQUEIO is null");
    const QVariantList periodo{QVariant(InicioJanela(c.inicio)), QVariant(FimJanela(c.fim))};
    const QString& linhas = kDeLinhasProducao;
    return Lendo(tr, [&] {
        QVector<AvisoEmpenho> r;
        for (const FaturaCobranca& f : FaturasCobranca(tr, c, QStringLiteral("RA"), false)) {
            AvisoEmpenho a;
            a.codigo = f.codigo;
            a.pagador = NomePagadorAviso(f.nome);
            a.lei = f.lei;
            a.liquido = f.liquido;
            a.emissao = c.emissao;
            if (c.taxas) {
                a.demonstrativo << qMakePair(c.descTaxas, f.liquido);
                r << a;
                continue;
            }
            QVariantList params{QVariant(f.codigo)};
            params += periodo;
            Consulta q(tr);
            q.abre(QStringLiteral("SELECT GP.GRUPOCOBR AS GRUPO, SUM(MP.VALORTOTAL) AS VALOR") + linhas
                       + QStringLiteral("INNER JOIN PROCEDIMENTOS PR ON MP.CODPROCEDIMENTO=PR.CODIGO "
                                        "INNER JOIN GRUPOSPROCED GP ON PR.CODGRUPO=GP.CODIGO WHERE MP.CLI_ORIGEM=?")
                       + janela + QStringLiteral(" GROUP BY GP.GRUPOCOBR ORDER BY GP.GRUPOCOBR"),
                   params);
            for (; !q.eof(); q.proximo())
                a.demonstrativo << qMakePair(q.campo(QStringLiteral("GRUPO")).texto() + QLatin1Char(':'),
                                             q.campo(QStringLiteral("VALOR")).decimal());
            q.fecha();
            if (culvar) {
                Consulta s(tr);
                s.abre(QStringLiteral("SELECT SUM(MP.VALORTOTAL) AS TOTAL, SUM(MP.VALORSUS1) AS SUS1, "
                                      "SUM(MP.VALORSUS2) AS SUS2, SUM(MP.VALORPOPULAR) AS POPULAR")
                           + linhas + QStringLiteral("WHERE MP.CLI_ORIGEM=?") + janela,
                       params);
                a.demonstrativo << qMakePair(QStringLiteral("SUBTOTAL DA FATURA:"), s.campo(QStringLiteral("TOTAL")).decimal())
                                << qMakePair(QStringLiteral("DESCONTO SUS 1:"), s.campo(QStringLiteral("SUS1")).decimal())
                                << qMakePair(QStringLiteral("DESCONTO SUS 2:"), s.campo(QStringLiteral("SUS2")).decimal())
                                << qMakePair(QStringLiteral("DESCONTO CONS. POPULAR:"),
                                             s.campo(QStringLiteral("POPULAR")).decimal());
            } else {
                a.demonstrativo << qMakePair(QStringLiteral("SUBTOTAL DA FATURA:"), f.bruto)
                                << qMakePair(QStringLiteral("DESCONTO SIA/SUS:"), f.descSus);
            }
            a.demonstrativo << qMakePair(QStringLiteral("OUTROS DESCONTOS:"), f.acrescDesc)
                            << qMakePair(QStringLiteral("TOTAL A PAGAR:"), f.liquido);
            r << a;
        }
        return r;
    });
}

QStringList InstrucoesDeposito(const QString& perfil)
{
    const bool culvar = perfil.toUpper().contains(QLatin1String("CULVAR"));
    QStringList linhas;
    linhas << (culvar ? QStringLiteral("Depositar até o dia 10  ") : QStringLiteral("Depositar até o dia 20  "));
    const QStringList padrao = culvar
        ? QStringList{QStringLiteral("Banrisul - Agência 0835 - Conta Corrente 06.024518.0-7"),
                      QStringLiteral("ou"), QStringLiteral("Banco do Brasil - Agência 1257-3 - Conta Corrente 14.332-9")}
        : QStringList{QStringLiteral("Banco: Banrisul (041)"), QStringLiteral("Agência: 0470"),
                      QStringLiteral("Conta Corrente: 04.078213.0-2")};
    for (int i = 0; i < padrao.size(); ++i) {
        const QString chave = QStringLiteral("DEPOSITO") + QString::number(i + 1);
        const QString v = Ini().le(QStringLiteral("GERAL"), chave, padrao.at(i));
        linhas << v;
    }
    return linhas;
}

QString NotaAviso()
{
    return QStringLiteral(" OBS: QUANDO O VALOR TOTAL A PAGAR ESTIVER ENTRE (PARENTESES), O MESMO NÃO DEVE SER PAGO, "
                          "POIS O VALOR GASTO FOI INFERIOR AO DESCONTO QUE O MUNICÍPIO TERIA DIREITO PELO "
                          "FATURAMENTO DO SUS.");
}

Boleto MontaBoleto(const CedenteBoleto& conta, const FaturaCobranca& m, qint64 numero, const QDate& emissao,
                   const QDate& vencimento, const QDate& processamento, const Decimal& valor,
                   const QStringList& mensagens, const QString& codigoContabil)
{
    Boleto b;
    b.cedente = conta;
    b.sacado.nome = NomePagador(conta.nome, m.nome).toUpper();
    if (!codigoContabil.trimmed().isEmpty())
        b.sacado.nome += QStringLiteral(" (") + codigoContabil + QLatin1Char(')');
    b.sacado.cnpjCpf = somenteDigitos(m.cnpj);
    b.sacado.logradouro = m.endereco;
    b.sacado.numero = m.endnum;
    b.sacado.bairro = m.bairro;
    b.sacado.cidade = m.nome;
    b.sacado.uf = QStringLiteral("RS");
    b.sacado.cep = QString(m.cep).remove(QLatin1Char('-'));
    b.vencimento = vencimento;
    b.dataDocumento = emissao;
    b.dataProcessamento = processamento;
    b.numeroDocumento = ZerosEsquerda(numero, 10);
    b.nossoNumero = ZerosEsquerda(numero, 8);
    b.valor = valor;
    b.mensagens = mensagens;
    return b;
}

namespace {
QStringList mensagensFixas()
{
    return {QStringLiteral("NÃO COBRAR MULTAS E JUROS"), QStringLiteral("NÃO ENVIAR A CARTÓRIO")};
}
} // namespace

LoteBoletos BoletosFatura(Transacao& tr, const CobrancaPeriodo& c, const CedenteBoleto& conta)
{
    return Lendo(tr, [&] {
        LoteBoletos lote;
        lote.primeiro = ProximoNumeroDocumento(tr, kBoleto);
        qint64 numero = lote.primeiro;
        const QString servicos = QStringLiteral("Serviços prestados no mês ") + mesAnoFim(c);
        for (const FaturaCobranca& f : FaturasCobranca(tr, c, QStringLiteral("BA"), true)) {
            QStringList msgs = mensagensFixas();
            if (c.taxas)
                msgs << c.descTaxas;
            else
                msgs << f.boleto << servicos;
            lote.boletos << MontaBoleto(conta, f, numero++, c.emissao, c.vencimento, c.emissao, f.liquido, msgs,
                                        c.taxas ? f.codContTaxa : f.codContProd);
            lote.municipios << f.codigo;
            lote.descricoes << (c.taxas ? c.descTaxas : f.boleto + QLatin1Char(' ') + mesAnoFim(c));
        }
        return lote;
    });
}

void GravaBoletosFatura(Transacao& tr, const CobrancaPeriodo& c, const LoteBoletos& lote)
{
    EmTransacao(tr, [&](Consulta& q) {
        if (ProximoNumeroDocumento(tr, kBoleto) != lote.primeiro)
            throw ErroValor(QStringLiteral("Outra estação emitiu boletos enquanto estes eram exibidos; os números "
                                      "impressos já estão em uso. Emita os boletos novamente."));
        for (int i = 0; i < lote.boletos.size(); ++i) {
            const Boleto& b = lote.boletos.at(i);
            q.executa(QStringLiteral("insert into docemissao(tipodoc, numdoc, codcliente, dataemissao, datavencimento, "
                                     "valor, avulsofatura, descricao) values(")
                      + SqlChar(kBoleto) + QLatin1Char(',') + SqlInteiro(lote.primeiro + i) + QLatin1Char(',')
                      + SqlTexto(lote.municipios.at(i)) + QLatin1Char(',') + SqlData(c.emissao) + QLatin1Char(',')
                      + SqlData(c.vencimento) + QLatin1Char(',') + SqlDecimal(b.valor) + QLatin1Char(',')
                      + SqlChar(OrigemFatura(c.taxas)) + QLatin1Char(',') + SqlTexto(lote.descricoes.at(i).left(500))
                      + QLatin1Char(')'));
        }
        return RegistroLog{QStringLiteral("DocEmissao"), QStringLiteral("I"),
                           QStringLiteral("Boletos ") + tipoFatura(c) + QLatin1Char(' ') + QString::number(lote.primeiro)
                               + QLatin1Char('-') + QString::number(lote.primeiro + lote.boletos.size() - 1)};
    });
}

std::optional<CedenteBoleto> ContaDaCobranca(Transacao& tr, bool taxas)
{
    return LeContaBoleto(tr, taxas ? QStringLiteral("SELECT * FROM CONTASBOLETOS WHERE TAXA='S'")
                                   : QStringLiteral("SELECT * FROM CONTASBOLETOS WHERE PRODUCAO='S'"));
}

std::optional<DocumentoEmissao> LeDocumento(Transacao& tr, QChar tipo, qint64 numero)
{
    const auto l = LeLinha(tr, QStringLiteral("select * from docemissao where tipodoc=") + SqlChar(tipo)
                                   + QStringLiteral(" and numdoc=") + SqlInteiro(numero));
    if (!l)
        return std::nullopt;
    DocumentoEmissao d;
    d.tipo = tipo;
    d.numero = numero;
    const QString o = l->texto(QStringLiteral("AVULSOFATURA"));
    d.origem = o.isEmpty() ? QLatin1Char('A') : o.at(0);
    d.municipio = l->texto(QStringLiteral("CODCLIENTE"));
    d.emissao = (*l)[QStringLiteral("DATAEMISSAO")].data();
    d.vencimento = (*l)[QStringLiteral("DATAVENCIMENTO")].data();
    d.valor = (*l)[QStringLiteral("VALOR")].decimal();
    d.descricao = l->texto(QStringLiteral("DESCRICAO"));
    d.exclusao = (*l)[QStringLiteral("DATAEXCLUSAO")].data();
    return d;
}

void GravaDocumentoAvulso(Transacao& tr, const DocumentoEmissao& d)
{
    EmTransacao(tr, [&](Consulta& q) {
        const auto atual = LeDocumento(tr, d.tipo, d.numero);
        const QChar origem = atual ? atual->origem : QLatin1Char('A');
        q.executa(QStringLiteral("update or insert into docemissao(tipodoc, numdoc, avulsofatura, codcliente, "
                                 "dataemissao, datavencimento, valor, descricao) values(")
                  + SqlChar(d.tipo) + QLatin1Char(',') + SqlInteiro(d.numero) + QLatin1Char(',') + SqlChar(origem)
                  + QLatin1Char(',') + SqlTexto(d.municipio) + QLatin1Char(',') + SqlData(d.emissao) + QLatin1Char(',')
                  + SqlData(d.vencimento) + QLatin1Char(',') + SqlDecimal(d.valor) + QLatin1Char(',')
                  + SqlTexto(d.descricao) + QLatin1Char(')'));
        return RegistroLog{QStringLiteral("DocEmissao"), atual ? QStringLiteral("U") : QStringLiteral("I"),
                           QString(d.tipo) + QString::number(d.numero) + QLatin1Char('-') + d.municipio
                               + QLatin1Char('-') + d.valor.toShortString()};
    });
}

void AnulaDocumento(Transacao& tr, QChar tipo, qint64 numero, const QDate& dataAtual)
{
    EmTransacao(tr, [&](Consulta& q) {
        q.executa(QStringLiteral("UPDATE DOCEMISSAO SET DATAEXCLUSAO=") + SqlData(dataAtual)
                  + QStringLiteral(" where numdoc=") + SqlInteiro(numero) + QStringLiteral(" and tipodoc=")
                  + SqlChar(tipo));
        return RegistroLog{QStringLiteral("DocEmissao"), QStringLiteral("E"), QString(tipo) + QString::number(numero)};
    });
}

Recibo ReciboAvulso(Transacao& tr, qint64 numero, const IdentidadeConsorcio& id)
{
    const auto l = LeLinha(tr, QStringLiteral("select D.NUMDOC, D.VALOR AS VALORLIQUIDO, D.DATAEMISSAO, C.CODIGO, "
                                              "C.NOME, D.DESCRICAO AS BOLETO, C.CNPJ FROM DOCEMISSAO D "
                                              "left outer join CLIENTES C on D.CODCLIENTE=C.CODIGO WHERE D.TIPODOC='R' "
                                              "AND D.NUMDOC=")
                                   + SqlInteiro(numero));
    if (!l)
        throw ErroValor(QStringLiteral("Recibo nº ") + QString::number(numero) + QStringLiteral(" não encontrado."));
    Recibo r;
    r.numero = numero;
    r.codigo = l->texto(QStringLiteral("CODIGO"));
    r.pagador = NomePagador(id.nome, l->texto(QStringLiteral("NOME"))) + QStringLiteral(" - CNPJ: ")
                + l->texto(QStringLiteral("CNPJ"));
    r.valor = (*l)[QStringLiteral("VALORLIQUIDO")].decimal();
    r.referente = l->texto(QStringLiteral("BOLETO"));
    r.emissao = (*l)[QStringLiteral("DATAEMISSAO")].data();
    return r;
}

Boleto BoletoAvulso(Transacao& tr, const DocumentoEmissao& d, const CedenteBoleto& conta, const QDate& dataAtual)
{
    const auto l = LeLinha(tr, QStringLiteral("select CODIGO AS CODCLIENTE, ") + QString(kColunasCliente).remove(QStringLiteral("C."))
                                   + QStringLiteral(" FROM CLIENTES WHERE CODIGO=") + SqlTexto(d.municipio));
    if (!l)
        throw ErroValor(QStringLiteral("Município ") + d.municipio + QStringLiteral(" não encontrado."));
    QStringList msgs = mensagensFixas();
    msgs << d.descricao;
    return MontaBoleto(conta, faturaDaLinha(*l), d.numero, d.emissao, d.vencimento, dataAtual, d.valor, msgs);
}

QVector<QPair<int, QString>> ContasBoletos(Transacao& tr)
{
    QVector<QPair<int, QString>> r;
    for (const LinhaCadastro& l : LeLinhas(tr, QStringLiteral("select * from contasboletos order by id_conta")))
        r << qMakePair(int(l[QStringLiteral("ID_CONTA")].inteiro()), l.texto(QStringLiteral("TITULO")));
    return r;
}

QString SqlRelatorioDocumentos(QChar tipo)
{
    QString sql = QStringLiteral("select d.*, c.nome from docemissao d left outer join clientes c on "
                                 "d.codcliente=c.codigo where d.dataemissao between ? and ?");
    if (!tipo.isNull())
        sql += QStringLiteral(" and d.tipodoc=") + SqlChar(tipo);
    return sql + QStringLiteral(" order by dataemissao, tipodoc, numdoc");
}

} // namespace vx
