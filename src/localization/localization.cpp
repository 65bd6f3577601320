#include "localization/localization.h"

namespace tarvo::localization {
namespace {

struct Entry {
    const wchar_t* key;
    const wchar_t* ukrainian;
    const wchar_t* english;
};

// Shared interface words; longer screen texts are chosen in place by the screens that draw them.
constexpr Entry kEntries[] = {
    {L"sign_in", L"УВІЙТИ", L"SIGN IN"},
    {L"create_account", L"СТВОРИТИ АКАУНТ", L"CREATE ACCOUNT"},
    {L"email", L"Електронна пошта", L"Email"},
    {L"password", L"Пароль", L"Password"},
    {L"nickname", L"Нікнейм", L"Nickname"},
    {L"repeat_password", L"Повторіть пароль", L"Repeat password"},
    {L"remember_device", L"Запам'ятати цей пристрій", L"Remember this device"},
    {L"forgot_password", L"Забули пароль?", L"Forgot password?"},
    {L"accept_policy", L"Я приймаю правила та політику", L"I accept the rules and policy"},
    {L"email_verification", L"ПІДТВЕРДЖЕННЯ ПОШТИ", L"EMAIL VERIFICATION"},
    {L"verify", L"ПІДТВЕРДИТИ", L"VERIFY"},
    {L"resend", L"НАДІСЛАТИ КОД ПОВТОРНО", L"RESEND CODE"},
    {L"main_menu", L"ГОЛОВНЕ МЕНЮ", L"MAIN MENU"},
    {L"start_game", L"ПОЧАТИ ГРУ", L"START GAME"},
    {L"inventory", L"ІНВЕНТАР", L"INVENTORY"},
    {L"profile", L"ПРОФІЛЬ", L"PROFILE"},
    {L"statistics", L"СТАТИСТИКА", L"STATISTICS"},
    {L"settings", L"НАЛАШТУВАННЯ", L"SETTINGS"},
    {L"updates", L"ОНОВЛЕННЯ", L"WHAT'S NEW"},
    {L"logout", L"ВИЙТИ", L"LOG OUT"},
    {L"coming_later", L"ЗГОДОМ", L"COMING LATER"},
    {L"online", L"В МЕРЕЖІ", L"ONLINE"},
    {L"level", L"РІВЕНЬ", L"LEVEL"},
    {L"rank", L"РАНГ", L"RANK"},
    {L"mode_select", L"ОБЕРІТЬ РЕЖИМ", L"SELECT MODE"},
    {L"random_game", L"РАНДОМНА ГРА", L"RANDOM GAME"},
    {L"endless_front", L"БЕЗКІНЕЧНИЙ ФРОНТ", L"ENDLESS FRONT"},
    {L"find_match", L"ЗНАЙТИ МАТЧ", L"FIND MATCH"},
    {L"players", L"ГРАВЦІ", L"PLAYERS"},
    {L"mode_type", L"ТИП РЕЖИМУ", L"MODE TYPE"},
    {L"duration", L"ТРИВАЛІСТЬ", L"DURATION"},
    {L"bots", L"БОТИ", L"BOTS"},
    {L"matchmaking", L"ПОШУК МАТЧУ", L"MATCHMAKING"},
    {L"match_found", L"МАТЧ ЗНАЙДЕНО", L"MATCH FOUND"},
    {L"module_missing", L"ONLINE-МОДУЛЬ НЕ РЕАЛІЗОВАНО", L"ONLINE MODULE NOT IMPLEMENTED"},
    {L"back", L"НАЗАД", L"BACK"},
    {L"game", L"ГРА", L"GAME"},
    {L"graphics", L"ГРАФІКА", L"GRAPHICS"},
    {L"sound", L"ЗВУК", L"SOUND"},
    {L"controls", L"КЕРУВАННЯ", L"CONTROLS"},
    {L"network", L"МЕРЕЖА", L"NETWORK"},
    {L"account", L"АКАУНТ", L"ACCOUNT"},
    {L"language", L"МОВА", L"LANGUAGE"},
    {L"ukrainian", L"Українська", L"Українська"},
    {L"english", L"English", L"English"},
    {L"weapons", L"ЗБРОЯ", L"WEAPONS"},
    {L"characters", L"ПЕРСОНАЖІ", L"CHARACTERS"},
    {L"gloves", L"РУКАВИЧКИ", L"GLOVES"},
    {L"stickers", L"СТІКЕРИ", L"STICKERS"},
    {L"other", L"ІНШЕ", L"OTHER"},
    {L"placeholder", L"МОДУЛЬ-ПРОТОТИП — STAGE 001", L"PROTOTYPE MODULE — STAGE 001"},
    {L"account_created", L"АКАУНТ СТВОРЕНО", L"ACCOUNT CREATED"},
    {L"matches", L"МАТЧІ", L"MATCHES"},
    {L"wins", L"ПЕРЕМОГИ", L"WINS"},
    {L"kills", L"ВБИВСТВА", L"KILLS"},
    {L"deaths", L"СМЕРТІ", L"DEATHS"},
    {L"accuracy", L"ТОЧНІСТЬ", L"ACCURACY"},
    {L"headshots", L"ХЕДШОТИ", L"HEADSHOTS"},
    {L"playtime", L"ЧАС У ГРІ", L"PLAYTIME"},
    {L"selected", L"ОБРАНО", L"SELECTED"},
    {L"unranked", L"БЕЗ РЕЙТИНГУ", L"UNRANKED"},
    {L"ranked", L"РЕЙТИНГ", L"RANKED"},
    {L"bot_training", L"ТРЕНУВАННЯ З БОТАМИ", L"BOT TRAINING"},
    {L"start_training", L"ПОЧАТИ ТРЕНУВАННЯ", L"START TRAINING"},
    {L"bot_training_description",
     L"Тестовий полігон TARVONIX VOLLEY. Тренуйте рух, прицілювання та стрільбу в бою проти ботів.",
     L"The TARVONIX VOLLEY test range. Train movement, aiming, and weapon control in combat against bots."},
    {L"error_email", L"Введіть коректний email", L"Enter a valid email"},
    {L"error_nickname", L"Введіть нікнейм", L"Enter a nickname"},
    {L"error_password", L"Мінімум 8 символів: велика, мала літера та цифра",
     L"Use 8+ characters with upper/lowercase and a digit"},
    {L"error_password_match", L"Паролі не збігаються", L"Passwords do not match"},
    {L"error_policy", L"Прийміть правила та політику", L"Accept the rules and policy"},
};

}  // namespace

Localization::Localization() {
    for (const Entry& entry : kEntries) ukrainian.emplace(entry.key, entry.ukrainian);
    for (const Entry& entry : kEntries) english.emplace(entry.key, entry.english);
}

std::wstring_view Localization::Get(std::wstring_view key) const {
    const Table& table = Current();
    const auto found = table.find(key);
    if (found == table.end()) return key;
    return found->second;
}

bool Localization::Has(std::wstring_view key) const { return Current().find(key) != Current().end(); }

}  // namespace tarvo::localization
