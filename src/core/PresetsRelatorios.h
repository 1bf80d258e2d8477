#pragma once
// Presets of the authorizations report filter, by the menu item that opens it.
#include <QString>
#include <QStringList>
#include <QVector>

namespace vx {

struct PresetRelatorio {
    QString menu;           // component name of the menu item
    bool totaliza = false;
    QString legendaOrdem;   // caption of the order box; empty = left unchanged
    QStringList itens;
    int selecionado = 0;
    QString chamador;       // caller label
    bool ocultaAgrupamento = false;
};

inline const QVector<PresetRelatorio>& PresetsRelatorioAutorizacoes()
{
    static const QStringList ordemAut{QStringLiteral("Data da Autorização"), QStringLiteral("Data da Realização"),
                                      QStringLiteral("Nome do Paciente")};
    static const QStringList ordemReal{QStringLiteral("Id. Marcação"), QStringLiteral("Data da Realização"),
                                       QStringLiteral("Nome do Paciente"), QStringLiteral("Data de Digitação")};
    static const QStringList totais{QStringLiteral("Município"), QStringLiteral("Entidade"), QStringLiteral("Profissional"),
                                    QStringLiteral("Grupo"), QStringLiteral("Procedimento")};
    static const QString ordenar = QStringLiteral("Ordenar por:");
    static const QString totalizar = QStringLiteral("Totalizar por:");
    static const QVector<PresetRelatorio> t{
        {QStringLiteral("ProcedimentosAutorizadosAnaltico1"), false, ordenar, ordemAut, 0, QStringLiteral("MUNICIPIO"), false},
        {QStringLiteral("TotalizadoresSinttico1"), true, totalizar, totais, 1, QStringLiteral("MUNICIPIO"), false},
        {QStringLiteral("ProcedimentosRealizadosAnaltico1"), false, ordenar, ordemReal, 0, QStringLiteral("ENTIDADE"), false},
        {QStringLiteral("TotalizadoresSinttico2"), true, totalizar, totais, 0, QStringLiteral("ENTIDADE"), false},
        {QStringLiteral("RelatProduoAnaltico1"), false, QString(), ordemReal, 0, QStringLiteral("ADMINISTRATIVO-R"), false},
        {QStringLiteral("RelatProduoSinttico1"), true, totalizar, totais, 0, QStringLiteral("ADMINISTRATIVO-R"), true},
    };
    return t;
}

// The preset of a menu item, or nullptr.
inline const PresetRelatorio* PresetRelatorioDoMenu(const QString& menu)
{
    for (const PresetRelatorio& p : PresetsRelatorioAutorizacoes())
        if (p.menu == menu)
            return &p;
    return nullptr;
}

} // namespace vx
