#include "update/update_channel.h"

const UpdateChannel& programChannel() {
    static const UpdateChannel channel{
        UpdateChannel::Kind::Program,
        "Telvarn",
        3000,
        "Доступна новая версия программы!",
        "Ошибка чтения номера новой версии программы",
        "Загрузка обновления программы:",
        "Ошибка загрузки обновления программы",
        "Ошибка контрольной суммы файла обновления программы",
        "Ошибка проверки подписи файла обновления программы",
    };
    return channel;
}

const UpdateChannel& firmwareChannel() {
    static const UpdateChannel channel{
        UpdateChannel::Kind::Firmware,
        "Telvarn-1_APPL",
        5000,
        "Доступна новая версия прошивки!",
        "Ошибка чтения номера новой версии программы прошивки",
        "Загрузка обновления программы прошивки:",
        "Ошибка загрузки обновления программы прошивки",
        "Ошибка контрольной суммы файла обновления программы прошивки",
        "Ошибка проверки подписи файла обновления прошивки",
    };
    return channel;
}
