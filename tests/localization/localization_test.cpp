#include <gtest/gtest.h>

#include <set>

#include "localization/localization.h"

using tarvo::localization::Locale;
using tarvo::localization::Localization;

namespace {

struct Expected {
    const wchar_t* key;
    const wchar_t* ukrainian;
    const wchar_t* english;
};

// The whole table as the product's texts are agreed, kept apart from the implementation's copy.
const Expected kTable[] = {
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
    {L"bot_training_description", L"Тестовий полігон TARVONIX VOLLEY. Тренуйте рух, прицілювання та стрільбу в бою проти ботів.", L"The TARVONIX VOLLEY test range. Train movement, aiming, and weapon control in combat against bots."},
    {L"error_email", L"Введіть коректний email", L"Enter a valid email"},
    {L"error_nickname", L"Введіть нікнейм", L"Enter a nickname"},
    {L"error_password", L"Мінімум 8 символів: велика, мала літера та цифра", L"Use 8+ characters with upper/lowercase and a digit"},
    {L"error_password_match", L"Паролі не збігаються", L"Passwords do not match"},
    {L"error_policy", L"Прийміть правила та політику", L"Accept the rules and policy"},
};

std::string Narrow(std::wstring_view text) {
    std::string out;
    for (wchar_t c : text) out += c < 128 ? static_cast<char>(c) : '?';
    return out;
}

}  // namespace

TEST(Localization, EveryKeyInBothLanguages) {
    static_assert(std::size(kTable) == 70);
    Localization localization;
    EXPECT_EQ(localization.CurrentLocale(), Locale::Ukrainian);
    for (const Expected& entry : kTable) {
        EXPECT_TRUE(localization.Has(entry.key)) << Narrow(entry.key);
        EXPECT_EQ(localization.Get(entry.key), entry.ukrainian) << Narrow(entry.key);
    }
    localization.SetLocale(Locale::English);
    for (const Expected& entry : kTable) {
        EXPECT_TRUE(localization.Has(entry.key)) << Narrow(entry.key);
        EXPECT_EQ(localization.Get(entry.key), entry.english) << Narrow(entry.key);
    }
}

TEST(Localization, SharedWordsAndDistinctTexts) {
    Localization localization;
    EXPECT_EQ(localization.Get(L"sign_in"), L"УВІЙТИ");
    EXPECT_EQ(localization.Get(L"ukrainian"), L"Українська");
    EXPECT_EQ(localization.Get(L"english"), L"English");
    EXPECT_EQ(localization.Get(L"updates"), L"ОНОВЛЕННЯ");
    localization.SetLocale(Locale::English);
    EXPECT_EQ(localization.Get(L"sign_in"), L"SIGN IN");
    EXPECT_EQ(localization.Get(L"ukrainian"), L"Українська");
    EXPECT_EQ(localization.Get(L"english"), L"English");
    EXPECT_EQ(localization.Get(L"updates"), L"WHAT'S NEW");
}

TEST(Localization, MissingKeyShowsTheKeyItselfInBothLanguages) {
    Localization localization;
    const std::wstring key = L"no_such_key";
    for (Locale locale : {Locale::Ukrainian, Locale::English}) {
        localization.SetLocale(locale);
        const std::wstring_view text = localization.Get(key);
        EXPECT_EQ(text, key);
        EXPECT_EQ(text.data(), key.data());  // the caller's own view comes back
        EXPECT_FALSE(localization.Has(key));
        EXPECT_FALSE(localization.Has(L"Sign_In"));  // case matters
        EXPECT_EQ(localization.Get(L""), L"");
    }
}

TEST(Localization, AnyLocaleButZeroReadsEnglish) {
    Localization localization;
    localization.SetLocale(static_cast<Locale>(7));
    EXPECT_EQ(static_cast<std::uint32_t>(localization.CurrentLocale()), 7u);
    EXPECT_EQ(localization.Get(L"start_game"), L"START GAME");
    localization.SetLocale(Locale::Ukrainian);
    EXPECT_EQ(localization.Get(L"start_game"), L"ПОЧАТИ ГРУ");
}

TEST(Localization, FoundTextsStayValidWhileTheTableLives) {
    Localization localization;
    const std::wstring_view text = localization.Get(std::wstring(L"bot_training_description"));
    localization.SetLocale(Locale::English);
    (void)localization.Get(L"bot_training_description");
    EXPECT_EQ(text.substr(0, 16), L"Тестовий полігон");
    EXPECT_EQ(text.back(), L'.');
}
