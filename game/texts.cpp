#include "game/texts.h"

namespace referee {

// clang-format off
const std::array<std::string_view, 26> introduction {
    "",
    "",
    "\n\n  Po ju prezantojme me disa nga rregullat e kesaj loje. Ju lutem, kini durimin per t'i lexuar me vemendje!",
    "\n  Per te levizur duhet te jepni koordinat e gurit qe doni te levizni dhe te kutise ku doni ta coni, por kujdes:",
    "\n  Ju duhet te shtypni dhe nje karakter te ndyshem nga 'p' ose nga nje numer, psh. d2d4d ose d2d4*, por jo d2d4p ose d2d45,",
    "\n  Mbas kesaj shtyni butonin enter.Ne rast se doni te ktheni levizjen mbrapa duhet te veproni si me poshte.",
    "\n  Jepni koordinatat e gurit qe po i prapsoni levizjen dhe te kutise ku ndodhej me pare shoqeruar me karakterin 'p' dhe",
    "\n  te shtyni 'o' nqs figura ne levizjen e meparshem nuk ka marre gure te kundershtarit, psh. d4d2po, gjithashtu ",
    "\n  nqs guri ka marre USHTAR TE MADH, jepni koordinatat e figures dhe te kutise ku ndodhej me pare dhe 'pU', psh. d4d2pU.",
    "\n  nqs guri ka marre ushatar te vogel, pasi keni dhene koordinatat, shtypni 'pu', psh. d4d2pu. Ose ne menyre me explicite",
    "\n  Nqs guri qe ju po i ktheni levizjen mbrapa ka ngrene nje gur te kundersharit, jepni koordinatat ku ndodhet dhe ",
    "\n  te kutise ku ndodhej me pare dhe mbasi te keni shypur dhe 'p', te jepni germen inicializuese te gurit qe kundershtarit:",
    "\n  'u'->ushatar i vogel, 't'->tore e vogel, 'k'->kal i vogel, 'f'->fil i vogel, 'd'->dame e vogel dhe per guret e medhenj",
    "\n  'U'->ushatar i madh,  'T'->tore e madhe, 'K'->kal i madh,  'F'->fil i madh,  'D'->dame e madhe, psh. e4h1pD dhe ",
    "\n  do te zhvendose gurin qe ndodhet ne 'e4' drejt 'h1' dhe ne kutine 'e4' do te vendoset dama e madhe, sepse ne fund ne",
    "\n  kemi shtypur 'pD', ose 'a1a5pk', dhe guri qe eshte ne 'a1' shkon ne 'a5', ndersa ne 'a1' do vendoset kali i vogel.",
    "\n  Ne fund te tabeles  ndodhet paraqitja grafike per secilin gure te shoqeruar me numrin perkates ne fushen e betejes,cka",
    "\n  do ju ndihmoje te ambjentoheni me guret tuaj dhe te kundershtarit.Per cdo gje tjeter qe do ju duket sado pak e paqarte",
    "\n  pyesi te zotin e kesaj pune.Momente per tu marre ne konsiderate jane edhe rastet e matit dhe patit. Pra nqs jeni 'SHAH'",
    "\n  brenda 5 levizjesh duhet ta evitoni ate sepse do te kuptohet sikur jeni ne pozicion mati dhe loja do te mbaroje.Nqs",
    "\n  mbreti juaj ndodhet ne pozicion pati, duhet te jepni 5 levizje te mundshme te gureve tuaj dhe ne levizjen e 6 do te",
    "\n  perfundoje loja me rezultat PATI.Tjeter situate qe kerkon vemendje parashtrohet kur ushtari juaj ndodhet ne rreshtin e",
    "\n  e parafundit dhe doni ta nxirrni nje figure pasi te keni dhene koordinatat shtyni nje shkronje te ndryshme nga 'p' dhe",
    "\n  me pas germen incilizuese te figures qe doni te ekuivalentoni ushtarin, psh e7e8ed (fitojme damen e vogel) ose e7e8ak",
    "\n  dhe fitojme kalin e vogel) ose per te madhin d2d1wD (fitojme damen e madhe). Per me teper informacion kontaktoni me te",
    "\n  zotin e kesaj loje.S'besoj se ka mbetur gje tjeter vecse t'ju urojme SUKSESE!!!.",
};
// clang-format on

const std::string_view start_gate_text
    = "\n\n\t\t\t JU LUTEM, SHTYPNI NUMRIN 14 PER TE STARTUAR LOJEN.";

namespace {

constexpr std::string_view draw_text
    = "\n\t LOJA DOLI REMI PAS LEVIZJES NR %d, SEPSE NUK KA ME GURE MJAFTUESHEM PER TE BERE MAT";

constexpr std::string_view mate_small_text
    = "\n\t\t\t\tSHAH MAT!!!\n\tI vogli eshte ne pozicion mati.Praktikisht loja mbaroi pas "
      "levizjes nr %2d."
      "\n\tI MADHI fitoi, i vogli humbi. Faleminderit qe luajtet. Nje verejtje e vogel per te "
      "voglin."
      "\n\tMesoni pak me shume heres tjeter te mos kapeni kaq shpejt mat. TUNG!!!!!!!!!!!!!!!!";
constexpr std::string_view mate_big_text
    = "\n\t\t\t\tSHAH MAT!!!\n\tI MADHI eshte ne pozicion mati.Praktikisht loja mbaroi pas "
      "levizjes nr %2d."
      "\n\tI vogli fitoi, I MADHI humbi. Faleminderit qe luajtet. Nje verejtje e vogel per TE "
      "MADHIN."
      "\n\tMesoni pak me shume heres tjeter te mos kapeni kaq shpejt mat. TUNG!!!!!!!!!!!!!!!!";

constexpr std::string_view stalemate_small_text
    = "\n\t\t\t\tPAT!!!\n\tI vogli eshte ne pozicion qe s'mund te leviz dot asnje prej gureve "
      "sepse del shah."
      "\n\tLoja mbaroi pas levizjes nr %2d.Kjo loje ne fund te fundit tregoi dicka."
      "\n\tI MADHI u tregua aq i zgjuar sa te rrembente remi nga kjo loje pothuajse e humbur. "
      "TUNG!!!";
constexpr std::string_view stalemate_big_text
    = "\n\t\t\t\tPAT!!!\n\tI MADHI eshte ne pozicion qe s'mund te leviz dot asnje prej gureve "
      "sepse del shah."
      "\n\tLoja mbaroi pas levizjes nr %2d.Kjo loje ne fund te fundit tregoi dicka."
      "\n\tI vogli u tregua aq i zgjuar sa te rrembente remi nga kjo loje pothuajse e humbur. "
      "TUNG!!!";

struct Texts {
    std::string_view small;
    std::string_view big;
};

// Indexed by Message: one row for each, in its order.
constexpr auto messages = std::to_array<Texts>({
    // king_dest_diagonal, king_dest_knight, king_dest_line, king_dest_king
    {"\n\t NUK LEVIZ DOT NE ATE KUTI SE JE SHAH NGA FILIM OSE DAMAM",
        "\n\t NUK LEVIZ DOT NE ATE KUTI SE JE SHAH NGA FILIV OSE DAMAV"},
    {"\t NUK LEVIZ DOT NE ATE KUTI SE JE SHAH  NGA KALIM",
        "\t NUK LEVIZ DOT NE ATE KUTI SE JE SHAH  NGA KALIV"},
    {"\n\t NUK LEVIZ DOT NE ATE KUTI SE JE SHAH NGA TORJAM",
        "\n\t NUK LEVIZ DOT NE ATE KUTI SE JE SHAH NGA TORJAV"},
    {"\n\t NUK LEVIZ DOT NE ATE KUTI SE JE SHAH NGA MBRETIM",
        "\n\t NUK LEVIZ DOT NE ATE KUTI SE JE SHAH NGA MBRETIV"},
    // pin_diagonal, pin_line
    {"\n\t KUJDES SE DEL SHAH NGA FILIM OSE DAMAM", "\n\t KUJDES SE DEL SHAH NGA FILIV OSE DAMAV"},
    {"\n\t KUJDES SE DEL SHAH NGA TORJAM OSE DAMAM",
        "\n\t KUJDES SE DEL SHAH NGA TORJAV OSE DAMAV"},
    // knight_check_remains
    {"\n\t JE SHAH AKOMA NGA KALIM, DUHET TA EVITONI ATE",
        "\n\t JE SHAH AKOMA NGA KALIV, DUHET TA EVITONI ATE"},
    // wrong_way_rook, _pawn, _knight, _bishop, _queen, _king
    {"\t ERROR 519! TORJAV S'LEVIZ NE ATE MENYRE!", "\t ERROR 519! TORJAM S'LEVIZ NE ATE MENYRE!"},
    {"\t ERROR 519! USHTARIV S'LEVIZ NE ATE MENYRE!",
        "\t ERROR 519! USHTARIM S'LEVIZ NE ATE MENYRE!"},
    {"\t ERROR 519! KALIV S'LEVIZ NE ATE MENYRE!", "\t ERROR 519! KALIM S'LEVIZ NE ATE MENYRE!"},
    {"\t ERROR 519! FILIV S'LEVIZ NE ATE MENYRE!", "\t ERROR 519! FILIM S'LEVIZ NE ATE MENYRE!"},
    {"\t ERROR 519! DAMAV S'LEVIZ NE ATE MENYRE!", "\t ERROR 519! DAMAM S'LEVIZ NE ATE MENYRE!"},
    {"\t ERROR 519! MBRETIV S'LEVIZ NE ATE MENYRE!",
        "\t ERROR 519! MBRETIM S'LEVIZ NE ATE MENYRE!"},
    // own_piece_captured, other_side_moved
    {"\t TE VOGLIT: S'MUND TE HANI GURIN TUAJ", "\t TE MADHTI: S'MUND TE HANI GURIN TUAJ"},
    {"\t TE VOGLIT: S'MUND TE LEVIZNI GURET E TE MADHIT",
        "\t TE MADHIT: S'MUND TE LEVIZNI GURET E TE VOGLIT"},
    // took_back
    {"\n\t I VOGLI KTHEU LEVIZJEN MBRAPA, PRA E KA RADHEN PERSERI!",
        "\n\t I MADHI KTHEU LEVIZJEN MBRAPA, PRA E KA RADHEN PERSERI!"},
    // check_adjacent, check_knight, check_diagonal, check_discovered, check_line: the side is
    // the king in check
    {"\n\t SHAH!!! I MADHI I DHA SHAH TE VOGLIT VETEM 1 KUTI NGJITUR",
        "\n\t SHAH!!! I VOGLI I DHA SHAH TE MADHIT 1 KUTI NGJITUR"},
    {"\n\t SHAH!!!( I MADHI I DHA SHAH TE VOGLIT ME KALM)",
        "\n\t SHAH!!!( I VOGLI I DHA SHAH TE MADHIT ME KALV)"},
    {"\n\t SHAH!!! I MADHI I DHA SHAH TE VOGLIT ME FILM OSE DAMEM",
        "\n\t SHAH!!! I VOGLI I DHA SHAH TE MADHIT ME FILV OSE DAMEV"},
    {"\n\t SHAH!!!( I MADHI I DHA SHAH TE VOGLIT ME ZBULIM ME TOREM OSE DAMEM)",
        "\n\t SHAH!!!( I VOGLI I DHA SHAH TE MADHIT ME ZBULIM ME TOREV OSE DAMEV)"},
    {"\n\t SHAH!!! I MADHI I DHA SHAH TE VOGLIT ME TOREM OSE DAMEM",
        "\n\t SHAH!!! I VOGLI I DHA SHAH TE MADHIT ME TOREV OSE DAMEV"},
    // still_check_diagonal, still_check_rank, still_check_adjacent
    {"\t JE AKOMA SHAH NGA FILIM OSE DAMAM", "\t JE AKOMA SHAH NGA FILIV OSE DAMAV QE TE DHA SHAH"},
    {"\n\t JE AKOMA SHAH NGA TORJAM OSE DAMAM QE TE DHA SHAH",
        "\t JE SHAH AKOMA NGA TORJAV OSE DAMAV QE TE DHA SHAH"},
    {"\n\t JE AKOMA SHAH NGA TORJAM OSE DAMAM NGJITUR",
        "\n\t JE AKOMA SHAH NGA TORJAV OSE DAMAV NGJITUR"},
    // draw, mate, stalemate
    {draw_text, draw_text},
    {mate_small_text, mate_big_text},
    {stalemate_small_text, stalemate_big_text},
});
static_assert(messages.size() == message_count, "one row of texts for each message");

} // namespace

std::string_view prompt_text(Side side) {
    return side == Side::small ? "\n\t\t\t\t\t\t Levizja nr %2d, luan i vogli:>"
                               : "\n\t\t\t\t\t\t LEVIZJA NR %2d, LUAN I MADHI:>";
}

std::string_view message_text(Message message, Side side) {
    const Texts& texts = messages[static_cast<std::size_t>(message)];
    return side == Side::small ? texts.small : texts.big;
}

} // namespace referee
