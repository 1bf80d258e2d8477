#include "municipality/ImportacaoPacientes.h"
#include "core/Banco.h"
#include "core/Mensagens.h"
#include "core/RegistraLog.h"
#include "core/Texto1252.h"
#include "core/UDMCune.h"
#include "core/UFunc.h"

#include <QFile>

namespace vx {

namespace {

const char* const kRacaSemInformacao = "99";

const char* const kSqlSepin =
    "select CODIGO, CARTAOSUS, DTNASCIMENTO, substring(NOME from 1 for 60) as NOME, "
    "substring(FONE from 1 for 50) AS FONE, SUBSTRING(SEXO FROM 1 FOR 1) AS SEXO, "
    "SUBSTRING(RACA FROM 1 FOR 2) AS RACA,SUBSTRING(NOMEMAE FROM 1 FOR 60) AS NOMEMAE,"
    "SUBSTRING(ENDERECO FROM 1 FOR 100) AS ENDERECO\n"
    "from pessoas order by NOME";

const char* const kSqlCadSus =
    "SELECT A.CO_USUARIO AS CODIGO, A.NO_USUARIO AS NOME, A.NO_MAE AS NOMEMAE, A.DT_NASCIMENTO as DTNASCIMENTO, "
    "A.CO_SEXO AS SEXO,\n"
    "(C.NO_LOGRADOURO || ', ' || C.NU_LOGRADOURO || ' - ' || C.NO_BAIRRO) AS ENDERECO, A.NU_TELEFONE as FONE,\n"
    "F.CO_Numero_Cartao AS CARTAOSUS, A.co_Raca AS RACA\n"
    "FROM TB_MS_USUARIO A\n"
    "LEFT OUTER JOIN TB_MS_CONTROLE_USUARIO B ON A.co_usuario=B.CO_USUARIO\n"
    "LEFT OUTER JOIN TB_MS_ENDERECO C ON B.co_endereco=C.co_endereco\n"
    "LEFT OUTER JOIN TB_MS_DOMICILIO E ON B.co_Domicilio=E.co_Domicilio\n"
    "LEFT OUTER JOIN TB_MS_USUARIO_CNS_ELOS F ON A.co_Usuario=F.co_Usuario\n"
    "ORDER BY A.NO_USUARIO";

// Columns of the text file (1-based first column, length).
struct Coluna {
    int inicio;
    int tamanho;
};
constexpr Coluna kCodigo{1, 7}, kNome{8, 35}, kNascimento{43, 10}, kMae{53, 35}, kSexo{88, 1}, kCartao{89, 15},
    kRua{104, 35}, kBairro{139, 25}, kFone{197, 12};
// A line must reach the end of the birth date: code, name and birth date identify the patient.
constexpr int kMinimoLinha = kNascimento.inicio + kNascimento.tamanho - 1;

QString coluna(const QString& linha, Coluna c)
{
    return linha.mid(c.inicio - 1, c.tamanho).trimmed();
}

// A birth date of a database: DATE and TIMESTAMP columns as they are; texts by their first ten
// characters, "dd/mm/yyyy" or "yyyy-mm-dd".
QDate dataDoCampo(const Campo& c)
{
    if (c.nulo)
        return {};
    if (c.tipo == Campo::Tipo::Data || c.tipo == Campo::Tipo::DataHora)
        return c.dt;
    const QString t = c.texto().left(10);
    QDate d = QDate::fromString(t, QStringLiteral("dd/MM/yyyy"));
    if (!d.isValid())
        d = QDate::fromString(t, QStringLiteral("yyyy-MM-dd"));
    return d;
}

QString textoDoCampo(const Consulta& q, const char* nome)
{
    return q.campo(QLatin1String(nome)).texto().trimmed();
}

// Reads a database of another system whole: second attachment, own transaction, both ended here.
template <class Leitura>
QVector<RegistroOrigem> leBanco(const QString& banco, const char* sql, Leitura le)
{
    QVector<RegistroOrigem> registros;
    Conexao externa;
    externa.conecta(banco, UsuarioBanco(), SenhaBanco());
    {
        Transacao leitura(externa); // rolled back when it goes, on error too
        leitura.inicia();
        Consulta q(leitura);
        for (q.abre(QLatin1String(sql)); !q.eof(); q.proximo()) {
            RegistroOrigem r;
            r.linha = int(registros.size()) + 1;
            le(q, r);
            registros.append(r);
        }
        q.fecha();
        leitura.rollback();
    }
    externa.desconecta();
    return registros;
}

// Text parameter: empty texts go as '' (never null).
QVariant texto(const QString& s)
{
    return QVariant(s.isNull() ? QString::fromLatin1("") : s);
}

QVariant data(const QDate& d)
{
    return d.isValid() ? QVariant(d) : QVariant();
}

// A SELECT of (CLI_ORIGEM, CODIGO) prepared on first use and run again for every record.
class Busca {
public:
    Busca(Transacao& tr, const QString& sql) : m_q(tr), m_sql(sql) {}
    bool acha(const QVariantList& params, QString& cliOrigem, qint64& codigo)
    {
        if (m_q.ativa())
            m_q.reabre(params);
        else
            m_q.abre(m_sql, params);
        if (m_q.eof())
            return false;
        cliOrigem = m_q.campo(0).texto();
        codigo = m_q.campo(1).inteiro();
        return true;
    }

private:
    Consulta m_q;
    QString m_sql;
};

} // namespace

QString RotuloFonte(FonteImportacao fonte)
{
    switch (fonte) {
    case FonteImportacao::Sepin: return QStringLiteral("SEPIN");
    case FonteImportacao::CadSus: return QStringLiteral("CADSUS");
    case FonteImportacao::ArquivoMunicipal: break;
    }
    return QStringLiteral("OUTROBDMUNIC");
}

QString LegendaArquivo(FonteImportacao fonte)
{
    switch (fonte) {
    case FonteImportacao::Sepin: return QStringLiteral("Local do Banco de Dados BDSEPIN:");
    case FonteImportacao::CadSus: return QStringLiteral("Local do Banco de Dados DB_CNS:");
    case FonteImportacao::ArquivoMunicipal: break;
    }
    return QStringLiteral("Arquivo Base de Dados:");
}

// What makes a line of the text file unusable (refused, with the reason):
//  - it ends before column 52: code, name and birth date are not all there;
//  - the name is blank;
//  - the birth date is blank, not a dd/mm/yyyy date, before 1880 or after today: with the name it
//    is what finds the patient when the card is missing;
//  - the card is neither blank nor 15 digits (a cut or garbled number would match the wrong patient
//    or spread a wrong card).
// Everything else is taken as it stands: blank code, mother, sex, address or telephone, and fields
// missing because the line ends early (exporters cut trailing blanks) are left empty. Characters
// after column 208 are ignored.
QString LeLinhaMunicipal(const QString& linha, const QDate& hoje, RegistroOrigem& r)
{
    if (linha.size() < kMinimoLinha)
        return QStringLiteral("linha com %1 caracteres, menor que o mínimo de %2").arg(linha.size()).arg(kMinimoLinha);
    r.codigo = coluna(linha, kCodigo);
    r.nome = coluna(linha, kNome);
    if (r.nome.isEmpty())
        return QStringLiteral("nome em branco");
    const QString nascimento = coluna(linha, kNascimento);
    if (nascimento.isEmpty())
        return QStringLiteral("data de nascimento em branco");
    r.nascimento = QDate::fromString(nascimento, QStringLiteral("dd/MM/yyyy"));
    if (!r.nascimento.isValid() || r.nascimento.year() < 1880 || (hoje.isValid() && r.nascimento > hoje))
        return QStringLiteral("data de nascimento inválida: \"%1\"").arg(nascimento);
    r.cartao = coluna(linha, kCartao);
    if (!r.cartao.isEmpty() && (r.cartao.size() != kCartao.tamanho || !SoDigitos(r.cartao)))
        return QStringLiteral("Cartão SUS inválido: \"%1\"").arg(r.cartao);
    r.nomeMae = coluna(linha, kMae);
    r.sexo = coluna(linha, kSexo);
    const QString rua = coluna(linha, kRua);
    const QString bairro = coluna(linha, kBairro);
    r.endereco = rua.isEmpty() && bairro.isEmpty() ? QString() : rua + QStringLiteral(" - ") + bairro;
    r.fones = coluna(linha, kFone);
    r.raca = QLatin1String(kRacaSemInformacao);
    return {};
}

LeituraOrigem LeArquivoMunicipal(const QByteArray& dados, const QDate& hoje)
{
    LeituraOrigem l;
    PercorreLinhas(dados, [&](int numero, const char* inicio, qsizetype tamanho) {
        const QString linha = de1252(inicio, int(tamanho));
        if (linha.trimmed().isEmpty())
            return;
        RegistroOrigem r;
        r.linha = numero;
        const QString motivo = LeLinhaMunicipal(linha, hoje, r);
        if (motivo.isEmpty())
            l.registros.append(r);
        else
            l.recusadas.append({numero, motivo});
    });
    return l;
}

QVector<RegistroOrigem> LeBancoSepin(const QString& banco)
{
    return leBanco(banco, kSqlSepin, [](const Consulta& q, RegistroOrigem& r) {
        r.codigo = textoDoCampo(q, "CODIGO");
        r.cartao = textoDoCampo(q, "CARTAOSUS");
        r.nascimento = dataDoCampo(q.campo(QStringLiteral("DTNASCIMENTO")));
        r.nome = textoDoCampo(q, "NOME").remove(QLatin1Char('*')).trimmed();
        r.fones = textoDoCampo(q, "FONE");
        r.sexo = textoDoCampo(q, "SEXO");
        r.raca = textoDoCampo(q, "RACA");
        r.nomeMae = textoDoCampo(q, "NOMEMAE");
        r.endereco = textoDoCampo(q, "ENDERECO");
    });
}

QString RacaCadSus(const QString& raca)
{
    const QString r = raca.trimmed();
    if (r.isEmpty() || r.size() > 2 || !SoDigitos(r))
        return QLatin1String(kRacaSemInformacao);
    return r.rightJustified(2, QLatin1Char('0'));
}

QVector<RegistroOrigem> LeBancoCadSus(const QString& banco)
{
    return leBanco(banco, kSqlCadSus, [](const Consulta& q, RegistroOrigem& r) {
        r.codigo = textoDoCampo(q, "CODIGO");
        r.nome = textoDoCampo(q, "NOME");
        r.nomeMae = textoDoCampo(q, "NOMEMAE");
        r.nascimento = dataDoCampo(q.campo(QStringLiteral("DTNASCIMENTO")));
        r.sexo = textoDoCampo(q, "SEXO");
        r.endereco = textoDoCampo(q, "ENDERECO");
        r.fones = textoDoCampo(q, "FONE");
        r.cartao = textoDoCampo(q, "CARTAOSUS");
        r.raca = RacaCadSus(textoDoCampo(q, "RACA"));
    });
}

QString ObsOrigem(FonteImportacao fonte, const QString& codigo, const QString& hoje)
{
    switch (fonte) {
    case FonteImportacao::Sepin:
        return QStringLiteral("Import. Sepin Cod. %1 dia %2")
            .arg(SoDigitos(codigo) ? ZerosEsquerda(codigo, 6) : codigo.rightJustified(6, QLatin1Char('0')), hoje);
    case FonteImportacao::CadSus:
        return QStringLiteral("Import. CNS Cod. %1 dia %2").arg(codigo, hoje);
    case FonteImportacao::ArquivoMunicipal: break;
    }
    return QStringLiteral("Import. BD Próprio Cod. %1 dia %2").arg(codigo, hoje);
}

QString AvisoOutroMunicipio(const QString& codigo, const QString& cliOrigem)
{
    return QStringLiteral("Paciente cadastrado no Sepin com o código ") + codigo
           + QStringLiteral(" já foi cadastrado neste programa pelo município ") + cliOrigem;
}

QString TextoProgresso(int n, int total, const QString& nome)
{
    return QStringLiteral("Cadastro %1 de %2 - %3").arg(ZerosEsquerda(n, 6), ZerosEsquerda(total, 6), nome);
}

QStringList ResumoImportacao::linhas() const
{
    QStringList l{
        QStringLiteral("Registros lidos: %1").arg(lidos),
        QStringLiteral("Incluídos: %1").arg(inseridos),
        QStringLiteral("Atualizados: %1").arg(atualizados),
        QStringLiteral("Não alterados (cadastrados por outro município): %1").arg(outroMunicipio),
        QStringLiteral("Não incluídos (sem data de nascimento): %1").arg(semNascimento),
        QStringLiteral("Linhas recusadas: %1").arg(recusadas.size()),
    };
    for (const LinhaRecusada& r : recusadas)
        l << QStringLiteral("Linha %1: %2").arg(r.linha).arg(r.motivo);
    return l;
}

void ImportaPacientes(Transacao& tr, const ParametrosImportacao& p, ResumoImportacao& resumo,
                      const ProgressoImportacao& progresso)
{
    resumo = ResumoImportacao();
    try {
        tr.inicia();
        QVector<RegistroOrigem> registros;
        const QDate hoje = QDate::fromString(p.hoje, QStringLiteral("dd/MM/yyyy"));
        switch (p.fonte) {
        case FonteImportacao::Sepin: registros = LeBancoSepin(p.arquivo); break;
        case FonteImportacao::CadSus: registros = LeBancoCadSus(p.arquivo); break;
        case FonteImportacao::ArquivoMunicipal: {
            QFile f(p.arquivo);
            if (!f.open(QIODevice::ReadOnly))
                throw ErroValor(QStringLiteral("Não foi possível abrir o arquivo %1: %2").arg(p.arquivo, f.errorString()));
            LeituraOrigem l = LeArquivoMunicipal(f.readAll(), hoje);
            registros = std::move(l.registros);
            resumo.recusadas = std::move(l.recusadas);
            break;
        }
        }
        resumo.lidos = int(registros.size() + resumo.recusadas.size());

        const bool sepin = p.fonte == FonteImportacao::Sepin;
        Busca porCartao(tr, QStringLiteral("select cli_origem, codigo from pessoas where cartaosus=?"));
        Busca porNomeData(tr, QStringLiteral("select cli_origem, codigo from pessoas where nome=? and datanasc=?"));
        Busca porNome(tr, QStringLiteral("select cli_origem, codigo from pessoas where nome=?"));
        Comando insere(tr, QStringLiteral("insert into Pessoas(Cli_origem, CartaoSUS, Nome, DataNasc, Sexo, Raca, "
                                          "Responsavel, NomeMae, Endereco, Fones, Obs) "
                                          "values(?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"));
        // A record without birth date (SEPIN, matched by name) keeps the date registered here.
        Comando altera(tr, QStringLiteral("update Pessoas set cartaosus=?, nome=?, datanasc=coalesce(cast(? as date), datanasc), "
                                          "sexo=?, raca=?, nomemae=?, endereco=?, fones=?, obs=? where Cli_origem=? and Codigo=?"));
        const int total = int(registros.size());
        for (int i = 0; i < total; ++i) {
            const RegistroOrigem& r = registros.at(i);
            if (progresso)
                progresso(i + 1, total, r.nome);
            QString origem;
            qint64 codigo = 0;
            bool achou = false;
            if (!r.cartao.isEmpty() && !(sepin && r.cartao.compare(QLatin1String("X"), Qt::CaseInsensitive) == 0))
                achou = porCartao.acha({r.cartao}, origem, codigo);
            if (!achou) {
                if (r.nascimento.isValid())
                    achou = porNomeData.acha({r.nome, r.nascimento}, origem, codigo);
                else if (sepin)
                    achou = porNome.acha({r.nome}, origem, codigo);
            }
            const QString obs = ObsOrigem(p.fonte, r.codigo, p.hoje);
            if (!achou) {
                if (sepin && !r.nascimento.isValid()) {
                    ++resumo.semNascimento;
                    continue;
                }
                insere.executa({texto(p.municipio), texto(r.cartao), texto(r.nome), data(r.nascimento), texto(r.sexo),
                                texto(r.raca), texto({}), texto(r.nomeMae), texto(r.endereco), texto(r.fones),
                                texto(obs)});
                ++resumo.inseridos;
            } else if (origem == p.municipio) {
                altera.executa({texto(r.cartao), texto(r.nome), data(r.nascimento), texto(r.sexo), texto(r.raca),
                                texto(r.nomeMae), texto(r.endereco), texto(r.fones), texto(obs), texto(origem),
                                QVariant(codigo)});
                ++resumo.atualizados;
            } else {
                const QString aviso = AvisoOutroMunicipio(r.codigo, origem);
                resumo.avisos << aviso;
                ++resumo.outroMunicipio;
                Informa(aviso);
            }
        }
        RegistraLog(tr, QStringLiteral("Pessoas"), QStringLiteral("I"),
                    QStringLiteral("Import. %1: %2 lidos, %3 incluídos, %4 atualizados, %5 recusados")
                        .arg(RotuloFonte(p.fonte))
                        .arg(resumo.lidos)
                        .arg(resumo.inseridos)
                        .arg(resumo.atualizados)
                        .arg(resumo.recusadas.size()));
        tr.commit();
        resumo.concluida = true;
    } catch (const std::exception& e) {
        tr.rollback();
        resumo.erro = TextoErro(e);
        throw;
    }
}

} // namespace vx
