#include "core/Utilitarios.h"
#include "core/Banco.h"
#include "core/Cadastro.h"
#include "core/Configuracao.h"
#include "core/Mensagens.h"
#include "core/UFunc.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

namespace vx {

namespace {
IniciadorProgramas& iniciador()
{
    static IniciadorProgramas i;
    return i;
}
} // namespace

IniciadorProgramas DefineIniciadorProgramas(IniciadorProgramas novo)
{
    IniciadorProgramas antigo = std::move(iniciador());
    iniciador() = std::move(novo);
    return antigo;
}

bool IniciaPrograma(const QString& programa, const QStringList& args, const QString& pasta)
{
    if (iniciador())
        return iniciador()(programa, args);
    return QProcess::startDetached(programa, args, pasta);
}

bool EhConsultaSelect(const QString& sql)
{
    return sql.trimmed().left(6).toUpper() == QLatin1String("SELECT");
}

bool AbreAplicativoEscritorio(bool planilha)
{
    if (!QStandardPaths::findExecutable(QStringLiteral("libreoffice")).isEmpty() || iniciador())
        return IniciaPrograma(QStringLiteral("libreoffice"), {planilha ? QStringLiteral("--calc") : QStringLiteral("--writer")});
    const QString vazio = QDir::temp().filePath(planilha ? QStringLiteral("vornex-nova.csv") : QStringLiteral("vornex-novo.rtf"));
    QFile f(vazio);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    if (!planilha)
        f.write("{\\rtf1 }");
    f.close();
    return IniciaPrograma(QStringLiteral("xdg-open"), {vazio});
}

QStringList ProgramaAssistenciaRemota(const QString& pastaTrabalho)
{
    const QString configurado = Ini().le(QStringLiteral("GERAL"), QStringLiteral("ASSISTENCIAREMOTA")).trimmed();
    if (!configurado.isEmpty())
        return QProcess::splitCommand(configurado);
    for (const char* nome : {"showmypc", "showmypc.exe"}) {
        const QFileInfo f(QDir(pastaTrabalho).filePath(QLatin1String(nome)));
        if (f.isFile() && f.isExecutable())
            return {f.absoluteFilePath()};
    }
    QDir pai(pastaTrabalho);
    if (!pai.cdUp())
        return {};
    QString ultimo;
    for (const QFileInfo& f : pai.entryInfoList(QDir::Files | QDir::Executable, QDir::Name | QDir::IgnoreCase))
        if (f.fileName().toUpper().startsWith(QLatin1String("SHOWMYPC")))
            ultimo = f.absoluteFilePath();
    return ultimo.isEmpty() ? QStringList() : QStringList{ultimo};
}

void SolicitaAssistenciaRemota(const QString& pastaTrabalho)
{
    const QStringList comando = ProgramaAssistenciaRemota(pastaTrabalho);
    if (comando.isEmpty()) {
        QDir pai(pastaTrabalho);
        pai.cdUp();
        Avisa(QStringLiteral("Arquivo ShowMyPC não encontrado na pasta \n") + QDir::toNativeSeparators(pai.absolutePath()));
        return;
    }
    if (!IniciaPrograma(comando.first(), comando.mid(1), QFileInfo(comando.first()).absolutePath()))
        MostraErro(QStringLiteral("Não foi possível iniciar o programa de assistência remota [")
                   + comando.join(QLatin1Char(' ')) + QLatin1Char(']'));
}

QString ItemCalendario::texto() const
{
    return TextoData(inicio) + QStringLiteral(" a ") + TextoData(fim) + QStringLiteral(" - ") + descricao;
}

QVector<ItemCalendario> ListaCalendarios(Transacao& tr)
{
    QVector<ItemCalendario> itens;
    Consulta q(tr);
    for (q.abre(QStringLiteral("select * from calendarios order by datainicial desc")); !q.eof(); q.proximo())
        itens.append({q.campo(QStringLiteral("DATAINICIAL")).data(), q.campo(QStringLiteral("DATAFINAL")).data(),
                      q.campo(QStringLiteral("DESCRICAO")).texto(),
                      q.campo(QStringLiteral("SELECAO")).texto() == QLatin1String("S")});
    return itens;
}

void SelecionaCalendario(Transacao& tr, const ItemCalendario& item)
{
    EmTransacao(tr, [&](Consulta& q) {
        q.executa(QStringLiteral("update calendarios set selecao=NULL"));
        q.executa(QStringLiteral("update calendarios set selecao='S' where datainicial=") + SqlData(item.inicio)
                  + QStringLiteral(" and datafinal=") + SqlData(item.fim));
        return RegistroLog{QStringLiteral("Calendarios"), QStringLiteral("U"), item.texto()};
    });
}

QString DescricaoCalendario(Transacao& tr, const QDate& inicio, const QDate& fim)
{
    return tr.valor(QStringLiteral("select DESCRICAO from CALENDARIOS where DATAINICIAL=? and DATAFINAL=?"),
                    {QVariant(inicio), QVariant(fim)})
        .toString();
}

} // namespace vx
