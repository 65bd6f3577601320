// Pages that send signed commands or change settings: release, security, backend,
// announcements and the console's own settings.
#include <array>

#include "common/data_roots.h"
#include "core/runtime_log.h"
#include "mock_data/demo_tables.h"
#include "owner_console/backend_form.h"
#include "owner_console/ostrel_ui.h"
#include "release_control/sodium_library.h"
#include "shell/native_shell.h"

namespace tarvo::ui::ostrel {

namespace {

D2D1_COLOR_F OutcomeColor(std::wstring_view text) {
    if (text.find(L"ACCEPTED") != std::wstring_view::npos || text.find(L"PASSED") != std::wstring_view::npos ||
        text.starts_with(L"SAVED") || text.starts_with(L"INITIALIZED") || text.starts_with(L"PUBLISHED") ||
        text.starts_with(L"ONLINE") || text.starts_with(L"READY")) {
        return Colors::Success;
    }
    if (text.find(L"REFUSED") != std::wstring_view::npos || text.find(L"FAILED") != std::wstring_view::npos ||
        text.find(L"UNAVAILABLE") != std::wstring_view::npos || text.starts_with(L"NOT SENT") ||
        text.starts_with(L"OFFLINE") || text.starts_with(L"CHECK THE")) {
        return Colors::Danger;
    }
    return Colors::Text;
}

std::wstring KeyLine(const NativeShell& shell) {
    return shell.ownerKeyText.empty() ? std::wstring(shell.Pick(L"НЕ ЗАВАНТАЖЕНО", L"NOT LOADED")) : shell.ownerKeyText;
}

}  // namespace

void DrawReleasePage(NativeShell& shell) {
    TitledCard(shell, D2D1::RectF(kContentLeft, 160, 1240, 560), shell.Pick(L"ПІДГОТОВЛЕНИЙ РЕЛІЗ", L"STAGED RELEASE"));
    for (const auto& version : mock_data::DemoVersions()) {
        if (version.state == L"STAGED") {
            Chip(shell, D2D1::RectF(960, 172, 1224, 202), std::wstring(version.version) + L" \u00B7 DEMO",
                 Colors::Cyan);
            break;
        }
    }
    shell.DrawTextIn(shell.releaseStatusText, shell.headingFormat.Get(), D2D1::RectF(kContentLeft + 24, 210, 1216, 260),
                     OutcomeColor(shell.releaseStatusText));
    shell.DrawTextIn(shell.releaseMessageText, shell.bodyFormat.Get(), D2D1::RectF(kContentLeft + 24, 264, 1216, 350),
                     Colors::Text, DWRITE_TEXT_ALIGNMENT_LEADING, DWRITE_PARAGRAPH_ALIGNMENT_NEAR);
    const float w = 832;
    Field(shell, kContentLeft + 24, 380, w, shell.Pick(L"КЛЮЧ ВЛАСНИКА", L"OWNER KEY"), KeyLine(shell), Colors::Text);
    Field(shell, kContentLeft + 24, 420, w, shell.Pick(L"ОСТАННЯ КОМАНДА", L"LAST COMMAND"), shell.lastCommandText,
          Colors::Text);
    Field(shell, kContentLeft + 24, 460, w, shell.Pick(L"СЛУЖБА", L"SERVICE"), shell.releaseControlUrl, Colors::Muted);

    TitledCard(shell, D2D1::RectF(1260, 160, kContentRight, 560), shell.Pick(L"КОМАНДИ", L"COMMANDS"));
    const float bx = 1284;
    const float bw = 572;
    shell.Button(D2D1::RectF(bx, 200, bx + bw, 256), shell.Pick(L"СТАН СЛУЖБИ", L"SERVICE STATUS"), "release.status",
                 false, false);
    shell.Button(D2D1::RectF(bx, 268, bx + bw, 324), shell.Pick(L"ПЕРЕВІРИТИ", L"CHECK"), "release.check", true, false);
    shell.Button(D2D1::RectF(bx, 336, bx + bw, 392), shell.Pick(L"АКТИВУВАТИ", L"ACTIVATE"), "release.activate", false,
                 false);
    shell.Button(D2D1::RectF(bx, 404, bx + bw, 460), shell.Pick(L"ЗАВЕРШИТИ", L"FINALIZE"), "release.finalize", false,
                 false);
    shell.Button(D2D1::RectF(bx, 472, bx + bw, 528), shell.Pick(L"ВІДКОТИТИ", L"ROLL BACK"), "release.rollback", false,
                 true);

    TitledCard(shell, D2D1::RectF(kContentLeft, 580, kContentRight, 840), shell.Pick(L"ЯК ЦЕ ПРАЦЮЄ", L"HOW IT WORKS"));
    const std::array<std::pair<std::wstring_view, std::wstring_view>, 4> steps{{
        {shell.Pick(L"1  ПЕРЕВІРИТИ", L"1  CHECK"),
         shell.Pick(L"служба перевіряє єдиний підготовлений реліз", L"the service validates the one staged release")},
        {shell.Pick(L"2  АКТИВУВАТИ", L"2  ACTIVATE"),
         shell.Pick(L"гравці отримують його через лаунчер", L"players receive it through the launcher")},
        {shell.Pick(L"3  ЗАВЕРШИТИ", L"3  FINALIZE"),
         shell.Pick(L"попередній реліз виводиться з обігу", L"the previous release is retired")},
        {shell.Pick(L"ВІДКАТ", L"ROLL BACK"),
         shell.Pick(L"повернення до попереднього релізу", L"return to the previous release")},
    }};
    for (size_t i = 0; i < steps.size(); ++i) {
        const float left = kContentLeft + 24 + 376.0f * static_cast<float>(i);
        shell.DrawTextIn(steps[i].first, shell.headingFormat.Get(), D2D1::RectF(left, 626, left + 356, 666),
                         i == 3 ? Colors::Danger : Colors::Accent);
        shell.DrawTextIn(steps[i].second, shell.bodyFormat.Get(), D2D1::RectF(left, 670, left + 356, 730),
                         Colors::Muted, DWRITE_TEXT_ALIGNMENT_LEADING, DWRITE_PARAGRAPH_ALIGNMENT_NEAR);
    }
    shell.DrawTextIn(shell.Pick(L"Кожна команда підписується ключем власника (Ed25519) і містить час та одноразовий "
                                L"nonce, тож її не можна підробити чи повторити.",
                                L"Every command is signed with the owner key (Ed25519) and carries a time stamp and a "
                                L"one-time nonce, so it cannot be forged or replayed."),
                     shell.bodyFormat.Get(), D2D1::RectF(kContentLeft + 24, 760, kContentRight - 24, 820),
                     Colors::Text);
}

void DrawSecurityPage(NativeShell& shell) {
    TitledCard(shell, D2D1::RectF(kContentLeft, 160, 1100, 560), shell.Pick(L"КЛЮЧ ВЛАСНИКА", L"OWNER KEY"));
    const float w = 692;
    const float x = kContentLeft + 24;
    Field(shell, x, 200, w, shell.Pick(L"КЛЮЧ", L"KEY"), KeyLine(shell), Colors::Text);
    Field(shell, x, 240, w, shell.Pick(L"ЗАХИСТ", L"PROTECTION"),
          shell.Pick(L"DPAPI, ЛИШЕ ЦЕЙ КОРИСТУВАЧ WINDOWS", L"DPAPI, THIS WINDOWS USER ONLY"), Colors::Text);
    Field(shell, x, 280, w, shell.Pick(L"АЛГОРИТМ", L"ALGORITHM"), L"ED25519", Colors::Text);
    shell.DrawTextIn(shell.Pick(L"ФАЙЛ", L"FILE"), shell.captionFormat.Get(), D2D1::RectF(x, 320, x + 240, 352),
                     Colors::Muted);
    shell.DrawTextIn(release_control::ReleaseControlClient::OwnerKeyPath().wstring(), shell.bodyFormat.Get(),
                     D2D1::RectF(x, 350, 1076, 400), Colors::Muted, DWRITE_TEXT_ALIGNMENT_LEADING,
                     DWRITE_PARAGRAPH_ALIGNMENT_NEAR);
    shell.DrawTextIn(shell.Pick(L"Ключ створюється під час першої підписаної команди або перевірки й ніколи не "
                                L"залишає цей комп'ютер.",
                                L"The key is made on the first signed command or check and never leaves this "
                                L"computer."),
                     shell.bodyFormat.Get(), D2D1::RectF(x, 408, 1076, 460), Colors::Muted,
                     DWRITE_TEXT_ALIGNMENT_LEADING, DWRITE_PARAGRAPH_ALIGNMENT_NEAR);
    shell.Button(D2D1::RectF(x, 484, 800, 540), shell.Pick(L"ПЕРЕВІРИТИ КЛЮЧ І СЛУЖБУ", L"CHECK KEY AND SERVICE"),
                 "release.status", true, false);

    const release_control::SodiumLibrary& sodium = release_control::SodiumLibrary::Shared();
    TitledCard(shell, D2D1::RectF(1120, 160, kContentRight, 560), shell.Pick(L"ПІДПИС", L"SIGNING"));
    Chip(shell, D2D1::RectF(1144, 210, 1500, 250),
         sodium.Available() ? shell.Pick(L"LIBSODIUM ГОТОВИЙ", L"LIBSODIUM READY")
                            : shell.Pick(L"ПІДПИС НЕДОСТУПНИЙ", L"SIGNING UNAVAILABLE"),
         sodium.Available() ? Colors::Success : Colors::Danger);
    shell.DrawTextIn(sodium.Available() ? sodium.LoadedFrom() : sodium.Error(), shell.bodyFormat.Get(),
                     D2D1::RectF(1144, 270, 1856, 380), sodium.Available() ? Colors::Muted : Colors::Danger,
                     DWRITE_TEXT_ALIGNMENT_LEADING, DWRITE_PARAGRAPH_ALIGNMENT_NEAR);

    TitledCard(shell, D2D1::RectF(kContentLeft, 580, kContentRight, 940),
               shell.Pick(L"ПОДІЇ БЕЗПЕКИ", L"SECURITY EVENTS"));
    Chip(shell, D2D1::RectF(1730, 592, 1864, 622), shell.Pick(L"ДЕМО-ДАНІ", L"DEMO DATA"), Colors::Cyan);
    const std::array<Column, 4> columns{{{shell.Pick(L"ЧАС (UTC)", L"TIME (UTC)"), 220},
                                         {shell.Pick(L"ПОДІЯ", L"EVENT"), 320},
                                         {shell.Pick(L"ДЕТАЛІ", L"DETAIL"), 720},
                                         {shell.Pick(L"ДІЯ", L"ACTION"), 220, DWRITE_TEXT_ALIGNMENT_TRAILING}}};
    std::vector<Row> rows;
    std::vector<D2D1_COLOR_F> colors;
    for (const auto& event : mock_data::DemoSecurityEvents()) {
        rows.push_back({std::wstring(event.at), std::wstring(event.kind), std::wstring(event.detail),
                        event.blocked ? std::wstring(shell.Pick(L"ЗАБЛОКОВАНО", L"BLOCKED"))
                                      : std::wstring(shell.Pick(L"ЗАПИСАНО", L"LOGGED"))});
        colors.push_back(event.blocked ? Colors::Danger : Colors::Text);
    }
    TableStyle style;
    style.rowColors = colors;
    Table(shell, kContentLeft + 12, 632, columns, rows, style);
}

void DrawBackendPage(NativeShell& shell) {
    const auto fields = BackendFields();
    const auto label = [&](size_t i) { return shell.Pick(fields[i].labelUk, fields[i].labelEn); };
    const auto field = [&](size_t i, D2D_RECT_F rect) {
        shell.TextField(rect, label(i), std::string(fields[i].key), fields[i].password);
    };

    TitledCard(shell, D2D1::RectF(kContentLeft, 160, 1100, 520), shell.Pick(L"БАЗА ДАНИХ", L"DATABASE"));
    field(0, D2D1::RectF(384, 206, 720, 272));
    field(1, D2D1::RectF(740, 206, 1076, 272));
    field(2, D2D1::RectF(384, 306, 720, 372));
    field(3, D2D1::RectF(740, 306, 1076, 372));
    shell.Button(D2D1::RectF(384, 430, 720, 486), shell.Pick(L"ПЕРЕВІРИТИ БАЗУ", L"TEST DATABASE"), "backend.test-db",
                 false, false);

    TitledCard(shell, D2D1::RectF(1120, 160, kContentRight, 720), shell.Pick(L"ПОШТА", L"MAIL"));
    for (size_t i = 4; i < fields.size(); ++i) {
        const size_t slot = i - 4;
        const float left = slot % 2 == 0 ? 1144.0f : 1520.0f;
        const float top = 206.0f + 100.0f * static_cast<float>(slot / 2);
        field(i, D2D1::RectF(left, top, left + 336, top + 66));
    }
    shell.Button(D2D1::RectF(1144, 630, 1480, 686), shell.Pick(L"НАДІСЛАТИ ТЕСТОВИЙ ЛИСТ", L"SEND TEST MAIL"),
                 "backend.test-mail", false, false);

    TitledCard(shell, D2D1::RectF(kContentLeft, 540, 1100, 940), shell.Pick(L"КОНФІГУРАЦІЯ", L"CONFIGURATION"));
    shell.DrawTextIn(shell.backendConfigStatusText, shell.headingFormat.Get(), D2D1::RectF(384, 584, 1076, 630),
                     OutcomeColor(shell.backendConfigStatusText));
    shell.DrawTextIn(shell.backendConfigHintText, shell.bodyFormat.Get(), D2D1::RectF(384, 636, 1076, 720),
                     Colors::Text, DWRITE_TEXT_ALIGNMENT_LEADING, DWRITE_PARAGRAPH_ALIGNMENT_NEAR);
    Field(shell, 384, 740, 692, shell.Pick(L"СТАН БЕКЕНДУ", L"BACKEND STATE"), shell.backendStatusText,
          OutcomeColor(shell.backendStatusText));
    shell.Button(D2D1::RectF(384, 850, 720, 906), shell.Pick(L"ЗБЕРЕГТИ", L"SAVE"), "backend.save", true, false);
    shell.Button(D2D1::RectF(740, 850, 1076, 906), shell.Pick(L"ІНІЦІАЛІЗУВАТИ", L"INITIALIZE"), "backend.initialize",
                 false, false);

    shell.DrawTextIn(shell.Pick(L"Паролі надсилаються лише всередині підписаних команд і не записуються на диск.",
                                L"Passwords travel only inside signed commands and are never written to disk."),
                     shell.bodyFormat.Get(), D2D1::RectF(1120, 740, kContentRight, 800), Colors::Muted);
}

void DrawAnnouncementsPage(NativeShell& shell) {
    TitledCard(shell, D2D1::RectF(kContentLeft, 160, kContentRight, 540),
               shell.Pick(L"НОВЕ ОГОЛОШЕННЯ", L"NEW ANNOUNCEMENT"));
    const auto audiences = mock_data::AnnouncementAudiences();
    for (size_t i = 0; i < audiences.size(); ++i) {
        const float left = 384.0f + 320.0f * static_cast<float>(i);
        shell.Button(D2D1::RectF(left, 206, left + 300, 262), shell.Pick(audiences[i].labelUk, audiences[i].labelEn),
                     "announcement.target." + std::to_string(i),
                     shell.announcementTarget == static_cast<std::int32_t>(i), false);
    }
    shell.TextField(D2D1::RectF(384, 296, 1856, 362),
                    shell.Pick(L"ТЕКСТ (ДО 160 СИМВОЛІВ)", L"TEXT (UP TO 160 CHARACTERS)"), "field.message", false);
    const auto message = shell.fieldValues.find("field.message");
    const size_t length = message == shell.fieldValues.end() ? 0 : message->second.size();
    shell.DrawTextIn(std::to_wstring(length) + L" / 160", shell.captionFormat.Get(), D2D1::RectF(1600, 390, 1856, 416),
                     Colors::Muted, DWRITE_TEXT_ALIGNMENT_TRAILING);
    shell.Button(D2D1::RectF(384, 440, 720, 496), shell.Pick(L"ОПУБЛІКУВАТИ", L"PUBLISH"), "announcement.publish", true,
                 false);
    Chip(shell, D2D1::RectF(740, 448, 1400, 488), shell.announcementStatusText,
         OutcomeColor(shell.announcementStatusText));

    TitledCard(shell, D2D1::RectF(kContentLeft, 560, kContentRight, 900), shell.Pick(L"ІСТОРІЯ", L"HISTORY"));
    Chip(shell, D2D1::RectF(1730, 572, 1864, 602), shell.Pick(L"ДЕМО-ДАНІ", L"DEMO DATA"), Colors::Cyan);
    const std::array<Column, 3> columns{{{shell.Pick(L"ЧАС (UTC)", L"TIME (UTC)"), 220},
                                         {shell.Pick(L"АУДИТОРІЯ", L"AUDIENCE"), 260},
                                         {shell.Pick(L"ТЕКСТ", L"TEXT"), 1000}}};
    std::vector<Row> rows;
    for (const auto& record : mock_data::DemoAnnouncements()) {
        const auto& audience = audiences[std::min<size_t>(record.audience, audiences.size() - 1)];
        rows.push_back({std::wstring(record.at), std::wstring(shell.Pick(audience.labelUk, audience.labelEn)),
                        std::wstring(record.text)});
    }
    Table(shell, kContentLeft + 12, 612, columns, rows, TableStyle{48.0f});
}

void DrawSettingsPage(NativeShell& shell) {
    const bool ukrainian = shell.localization.CurrentLocale() == localization::Locale::Ukrainian;
    TitledCard(shell, D2D1::RectF(kContentLeft, 160, 1100, 360), shell.Pick(L"МОВА", L"LANGUAGE"));
    shell.Button(D2D1::RectF(384, 220, 720, 280), L"УКРАЇНСЬКА", "lang.uk", ukrainian, false);
    shell.Button(D2D1::RectF(740, 220, 1076, 280), L"ENGLISH", "lang.en", !ukrainian, false);

    TitledCard(shell, D2D1::RectF(1120, 160, kContentRight, 360), shell.Pick(L"СЛУЖБИ", L"SERVICES"));
    Field(shell, 1144, 210, 712, shell.Pick(L"КЕРУВАННЯ РЕЛІЗОМ", L"RELEASE CONTROL"), shell.releaseControlUrl,
          Colors::Text);
    Field(shell, 1144, 250, 712, shell.Pick(L"МЕТРИКИ", L"TESTER METRICS"), shell.testMetricsUrl, Colors::Text);

    TitledCard(shell, D2D1::RectF(kContentLeft, 380, kContentRight, 640), shell.Pick(L"ФАЙЛИ", L"FILES"));
    Field(shell, 384, 430, 1472, shell.Pick(L"ЖУРНАЛ", L"LOG"), core::Log().Path().wstring(), Colors::Text);
    Field(shell, 384, 470, 1472, shell.Pick(L"ДАНІ", L"DATA ROOT"), distribution::UserStateRoot().wstring(),
          Colors::Text);
    Field(shell, 384, 510, 1472, shell.Pick(L"КЛЮЧ ВЛАСНИКА", L"OWNER KEY"),
          release_control::ReleaseControlClient::OwnerKeyPath().wstring(), Colors::Text);
    Field(shell, 384, 550, 1472, shell.Pick(L"ВЕРСІЯ", L"VERSION"), kVersionText, Colors::Text);
}

}  // namespace tarvo::ui::ostrel
