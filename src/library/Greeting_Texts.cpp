// The built-in greeting titles and messages, one row per festival or occasion. Written for
// this program; UTF-8 (typographic apostrophes and ellipses are meant).

#include "library/Greeting_Library.h"

namespace {

// ---- 1: New Year ---------------------------------------------------------------------------
const char* const new_year_titles[] = {
    "Happy New Year!!!",
    "Cheers to a Fresh Start!",
    "Welcome, New Year!",
    "A Year of New Beginnings",
    "Ring in the New Year!",
    "Best Wishes for the Year Ahead",
    "Hello, Bright New Year!",
    "New Year, New Dreams",
    "Season’s Greetings and a Happy New Year",
    "Here’s to the Next Twelve Months!",
};
const char* const new_year_messages[] = {
    "I whispered a prayer just for you: may the new year bring you health, calm mornings and every good thing you have been waiting for.",
    "May the coming year open new doors for you and fill every one of its days with laughter, warmth and good company.",
    "As the clock strikes twelve, I wish you courage for new plans and patience for old ones. Happy New Year!",
    "Let’s leave the worries behind with the old calendar and walk into the new one with light hearts.",
    "Twelve new months, fifty-two new weeks and a whole year of chances. Make them count!",
    "Wishing you a year as bright as tonight’s fireworks and as peaceful as the morning after.",
    "May your home be full of friends, your table full of food and your heart full of hope this year.",
    "New year, new page. May the story you write on it be your happiest one yet.",
    "Thank you for being part of my year. I can’t wait to see what the next one brings us both.",
    "Here’s to good health, small joys and big dreams coming true in the year ahead…",
    "May every sunrise of the new year remind you how much you are loved. Happy New Year!",
};

// ---- 2: Pongal -----------------------------------------------------------------------------
const char* const pongal_titles[] = {
    "Happy New Pongal!",
    "Pongalo Pongal!",
    "A Sweet Harvest to You",
    "Warm Pongal Wishes",
    "Celebrate the Harvest!",
    "Joy of the Harvest Season",
};
const char* const pongal_messages[] = {
    "May the sweet Pongal boil over in your home and bring you a harvest of happiness and good fortune.",
    "As the sun turns north, may it bring light, warmth and plenty to you and your family.",
    "Wishing you fields of green, pots of sweet rice and a heart full of thanks this Pongal.",
    "Let’s honour the sun, the soil and the hands that feed us. Happy Pongal to you and yours!",
    "May this harvest festival fill your granary with grain and your days with joy.",
};

// ---- 3: Valentine's Day --------------------------------------------------------------------
const char* const valentine_titles[] = {
    "A Day For Love!",
    "Be My Valentine",
    "Happy Valentine’s Day!",
    "With All My Love",
    "You Have My Heart",
    "Forever Yours",
    "Love Is in the Air",
    "To My Sweetheart",
    "You Make My Heart Smile",
    "Just You and Me",
    "My Favourite Person",
};
const char* const valentine_messages[] = {
    "Every day with you feels like a celebration, but today I get to say it out loud: I love you.",
    "You are my morning coffee, my evening calm and every happy thought in between. Happy Valentine’s Day!",
    "If I had a flower for every time I thought of you, I could walk through my garden forever.",
    "Thank you for your kindness, your laughter and your patience with me. Be my Valentine?",
    "My heart found its home the day it found you.",
    "With you, even ordinary days feel like a love story worth telling.",
    "Roses are red, the sky is blue, no day is complete without thinking of you.",
    "I would choose you again and again, on every day of the year and twice today.",
    "Sending you all my love wrapped in a little card and a very big hug…",
};

// ---- 4: Chocolate Day ----------------------------------------------------------------------
const char* const chocolate_titles[] = {
    "Happy Chocolate Day!",
    "A Sweet Treat for You",
    "Life Is Sweeter with You",
    "Chocolate and Hugs",
    "Melting Hearts Today",
    "Something Sweet Inside",
    "For My Sweetest Friend",
    "Share the Sweetness",
};
const char* const chocolate_messages[] = {
    "Chocolate makes the day sweeter, but you make my whole life sweeter. Happy Chocolate Day!",
    "Here is a little box of sweetness for the person who already has plenty of it.",
    "May your day be as rich and smooth as the finest chocolate.",
    "Some people need chocolate to smile. I only need you, but I’ll take the chocolate too.",
    "Sending you a bar of happiness; please share it only with people you love.",
    "Like chocolate on a warm day, my heart melts every time I see you.",
    "A little bit of chocolate and a lot of love: the perfect recipe for today.",
    "Life is like a box of chocolates, and you are my favourite one in it.",
};

// ---- 5: Hug Day ----------------------------------------------------------------------------
const char* const hug_titles[] = {
    "Happy Hug Day!",
    "A Warm Hug for You",
    "Sending Big Hugs",
    "Arms Wide Open",
    "Squeeze Tight!",
    "A Hug a Day",
    "Wrapped in Warmth",
    "Hugs from Me to You",
};
const char* const hug_messages[] = {
    "This card comes with a big, warm hug. Please collect it the next time we meet!",
    "A hug says everything words can’t. Here is mine, as tight as I can send it.",
    "When the world feels cold, remember there is always a hug waiting for you here.",
    "Hugs are free, never run out and make two people happy at once. Happy Hug Day!",
    "I wish I could wrap you in my arms today; this card will have to do until then…",
};

// ---- 6: Friendship Day ---------------------------------------------------------------------
const char* const friendship_titles[] = {
    "Happy Friendship Day!",
    "Friends Forever",
    "To My Best Friend",
    "Thanks for Being You",
    "Side by Side",
    "A Friend Like You",
    "Cheers to Our Friendship",
    "Partners in Crime",
    "You Are One of a Kind",
};
const char* const friendship_messages[] = {
    "A good friend is a treasure, and I feel rich every day because of you.",
    "Through laughter and tears, you have always been there. Happy Friendship Day!",
    "Friends are the family we choose for ourselves, and I’m so glad I chose you.",
    "Thank you for the late-night talks, the silly jokes and for never giving up on me.",
    "No matter how far apart we are, you are always close to my heart.",
    "Here’s to all our adventures so far and to the many more still waiting for us.",
    "You make the good times better and the hard times easier. Thank you, my friend.",
    "Life is a journey, and I’m happy to share the road with a friend like you.",
};

// ---- 7: Kiss Day ---------------------------------------------------------------------------
const char* const kiss_titles[] = {
    "Happy Kiss Day!",
    "Sealed with a Kiss",
    "A Kiss for You",
    "Kisses and Wishes",
    "Love on Your Lips",
    "One Sweet Kiss",
    "XOXO",
    "Blowing You a Kiss",
};
const char* const kiss_messages[] = {
    "This card is sealed with a kiss, and there are plenty more where that came from.",
    "A kiss is a secret told to the lips instead of the ear. Happy Kiss Day!",
    "Sending you a kiss across the miles; catch it and keep it close.",
    "Every kiss from you feels like the very first one.",
    "If kisses were raindrops, I’d send you a storm today.",
    "One kiss for good morning, one for good night and a thousand in between.",
    "You make my heart skip and my cheeks blush. Here’s a kiss just for you.",
    "Closing my eyes and blowing you a kiss… did you feel it?",
};

// ---- 8: Holi -------------------------------------------------------------------------------
const char* const holi_titles[] = {
    "Happy Holi!",
    "A Splash of Colours",
    "Colour Your World",
    "Joyful Holi Wishes",
    "Let the Colours Fly!",
    "Bright and Colourful Holi",
    "Festival of Colours",
    "Play, Laugh and Colour",
    "Rang Barse!",
};
const char* const holi_messages[] = {
    "May the colours of Holi fill your life with joy, love and laughter.",
    "Red for love, green for hope, yellow for joy: I wish you every colour of happiness today.",
    "Let’s forget old quarrels and paint our friendship anew. Happy Holi!",
    "May your Holi be bright with colours and sweet with gujiyas.",
    "Throw away your worries and throw on the colours. It’s Holi!",
    "Wishing you a festival full of music, dance and splashes of colour.",
    "May the bonfire of Holika burn away every sorrow and leave only warmth behind.",
    "Colours fade from our clothes, but the memories of today stay forever.",
    "Here’s a handful of gulal and a heart full of good wishes for you and your family.",
    "Let the spring colours bring new energy and fresh beginnings into your home.",
    "Play safe, play happy and come home with a rainbow on your face!",
    "On this Holi, may every colour you see remind you of a reason to smile…",
};

// ---- 9: Diwali -----------------------------------------------------------------------------
const char* const diwali_titles[] = {
    "Happy Diwali!",
    "Festival of Lights",
    "Shine Bright This Diwali",
    "Warm Diwali Wishes",
    "A Sparkling Diwali",
    "Light Up Your Life",
    "Shubh Deepavali",
    "Joy, Light and Sweets",
    "May Your Diya Glow",
};
const char* const diwali_messages[] = {
    "May the glow of a thousand diyas fill your home with happiness and prosperity.",
    "Wishing you a Diwali full of light, laughter and plates full of sweets.",
    "As we light the lamps tonight, may every dark corner of your life grow bright.",
    "May Goddess Lakshmi bless your home with wealth, health and peace this Diwali.",
    "Let the sparklers remind us that even small lights can chase the dark away.",
    "Here’s to new clothes, old friends and the warmth of family gathered together.",
    "May this festival of lights be the start of your brightest year yet.",
    "Sending you a box of sweets, a string of lights and all my love. Happy Diwali!",
};

// ---- 10: Good Friday -----------------------------------------------------------------------
const char* const good_friday_titles[] = {
    "Good Friday!",
    "Blessed Good Friday",
    "In Quiet Reflection",
    "His Love Endures",
    "A Day of Grace",
    "Peace Be with You",
    "Remembering His Sacrifice",
    "Hope Beyond the Cross",
    "Thoughts on Good Friday",
};
const char* const good_friday_messages[] = {
    "On this solemn day, may you find peace in reflection and strength in faith.",
    "May the love shown on the cross fill your heart with gratitude and hope.",
    "Let us remember the sacrifice made for us and carry its kindness into our days.",
    "Wishing you a quiet and blessed Good Friday with those you love.",
    "In the silence of this day, may you hear the promise of the morning to come.",
    "May His grace guide your steps and His mercy comfort your heart.",
    "The darkest day holds the seed of the brightest hope. Blessings to you today.",
    "May the meaning of this holy day bring you closer to peace and forgiveness.",
    "Keeping you and your family in my prayers on this Good Friday.",
};

// ---- 11: Easter ----------------------------------------------------------------------------
const char* const easter_titles[] = {
    "Happy Easter!",
    "He Is Risen!",
    "Easter Blessings",
    "Hoppy Easter!",
    "Spring Has Sprung",
    "A Basket of Joy",
    "New Life, New Hope",
    "Sunny Easter Wishes",
    "Egg-cellent Easter!",
};
const char* const easter_messages[] = {
    "May the joy of Easter fill your heart with hope and your home with laughter.",
    "Wishing you a basket full of blessings and a weekend full of sunshine.",
    "As spring blossoms, may new hope bloom in your life. Happy Easter!",
    "May the Easter bunny bring you chocolate eggs and the season bring you peace.",
    "The stone is rolled away and the morning is bright. Blessed Easter to you.",
    "Here’s to egg hunts, family dinners and the promise of new beginnings.",
    "May the miracle of Easter renew your faith and lift your spirits.",
    "Sending you springtime wishes and a warm Easter hug…",
};

// ---- 12: Eid -------------------------------------------------------------------------------
const char* const eid_titles[] = {
    "Happy Eid!!!",
    "Eid Mubarak!",
    "Blessed Eid to You",
    "Joyous Eid Wishes",
    "Peace and Blessings",
    "Under the Crescent Moon",
    "Celebrate with Joy",
    "Warm Eid Greetings",
    "May Allah Bless You",
};
const char* const eid_messages[] = {
    "May this Eid bring peace to your heart, joy to your home and blessings to your family.",
    "As the crescent moon rises, I send you my warmest wishes. Eid Mubarak!",
    "May your prayers be answered and your days be filled with kindness and light.",
    "Wishing you a table full of delicious food and a home full of beloved guests.",
    "May the spirit of Eid teach us generosity, patience and love for one another.",
    "On this blessed day, may all your sins be forgiven and all your hopes fulfilled.",
    "Sending you hugs, sweets and heartfelt wishes for a wonderful Eid.",
    "May the joy of today stay with you long after the celebrations are over…",
};

// ---- 13: Mother's Day ----------------------------------------------------------------------
const char* const mothers_day_titles[] = {
    "Happy Mother's Day!",
    "To the Best Mum Ever",
    "Thank You, Mum",
    "With Love to Mother",
    "You Mean the World",
    "For My Wonderful Mother",
    "Mum, You Are Amazing",
    "A Mother’s Love",
    "My First Friend",
};
const char* const mothers_day_messages[] = {
    "Thank you for every bedtime story, every packed lunch and every hug that made things right.",
    "You gave me roots to grow and wings to fly. Happy Mother’s Day!",
    "Of all the gifts life has given me, having you as my mother is the greatest.",
    "You were my first teacher, my first friend and my forever hero.",
    "Your love has been my shelter through every storm. I love you, Mum.",
    "For all the times you put me first, today is all about you.",
    "I hope today you feel as loved and cherished as you make me feel every day.",
    "There is no one in the world quite like you, and I’m so lucky you’re mine.",
    "Sending you flowers, hugs and all the thanks my heart can hold.",
};

// ---- 14: Father's Day ----------------------------------------------------------------------
const char* const fathers_day_titles[] = {
    "Happy Father's Day!",
    "To the Best Dad Ever",
    "Thanks, Dad!",
    "My Hero, My Dad",
    "Dad, You Rock!",
    "With Love to Father",
    "World’s Greatest Dad",
    "For My Wonderful Father",
    "Like Father, Like Child",
};
const char* const fathers_day_messages[] = {
    "Thank you for teaching me to ride a bike, to fix things and to never give up.",
    "You have always been my hero, even when I didn’t say it. Happy Father’s Day!",
    "For all the advice, the bad jokes and the quiet support, thank you, Dad.",
    "You showed me what strength and kindness look like side by side.",
    "No matter how old I get, I will always look up to you.",
    "Today is your day to relax; the remote control is all yours.",
    "Thank you for every sacrifice you made so that I could chase my dreams.",
    "Dad, your hugs still fix everything. Have a wonderful Father’s Day!",
    "Wishing the best father in the world a day as great as he is.",
};

// ---- 15: Thanksgiving ----------------------------------------------------------------------
const char* const thanksgiving_titles[] = {
    "Happy Thanks Giving Day!",
    "Give Thanks",
    "Grateful for You",
    "A Thankful Heart",
    "Blessings of the Harvest",
    "Count Your Blessings",
    "Gather Round the Table",
    "Warm Thanksgiving Wishes",
    "So Much to Be Thankful For",
};
const char* const thanksgiving_messages[] = {
    "This Thanksgiving, I’m grateful for many things, and you are near the top of the list.",
    "May your table be full, your heart be light and your home be warm today.",
    "Wishing you a day of good food, good company and a good long nap afterwards.",
    "Gratitude turns what we have into enough. Happy Thanksgiving to you and yours!",
    "May the blessings of the season stay with you all year long.",
    "Thank you for your friendship, your kindness and every shared slice of pie.",
    "Let’s gather, give thanks and remember how much we have to celebrate.",
    "Sending you warm wishes and a second helping of happiness…",
};

// ---- 16: Rakhi -----------------------------------------------------------------------------
const char* const rakhi_titles[] = {
    "Happy Rakshabandhan!",
    "A Thread of Love",
    "To My Dear Sibling",
    "Bound by Love",
    "Happy Rakhi!",
    "Brother and Sister Forever",
    "Promise of Protection",
    "Sweet Rakhi Wishes",
    "Siblings Make Life Sweeter",
};
const char* const rakhi_messages[] = {
    "This little thread carries a big promise: I will always be there for you.",
    "We fight, we tease, but no bond is stronger than ours. Happy Rakshabandhan!",
    "May the thread of Rakhi keep our hearts close, no matter how far apart we live.",
    "Thank you for being my protector, my partner in mischief and my best friend.",
    "Sending you a rakhi full of love and a box of sweets you don’t have to share.",
    "Growing up with you was the best adventure. Happy Rakhi, dear sibling!",
    "May your life be as colourful as the rakhi on your wrist.",
    "Distance can never loosen the thread that ties our hearts together.",
    "On this Rakhi, I wish you success, health and endless happiness.",
};

// ---- 17: Onam ------------------------------------------------------------------------------
const char* const onam_titles[] = {
    "Happy Onam!",
    "Onam Ashamsakal!",
    "A Bountiful Onam",
    "Welcome, King Mahabali",
    "Flowers and Festivities",
    "Joyful Onam Wishes",
    "Feast of the Harvest",
    "Colourful Pookalam Wishes",
};
const char* const onam_messages[] = {
    "May King Mahabali visit your home and bless it with joy and prosperity.",
    "Wishing you a bright pookalam, a grand sadya and a happy Onam with your family.",
    "May the spirit of Onam fill your life with harmony, abundance and good cheer.",
    "Let the boat races, the songs and the flowers bring smiles to every face.",
    "May this harvest festival bring you fresh hopes and a year of plenty.",
    "Here’s to banana leaves full of delicious dishes and hearts full of love.",
    "As the flowers bloom in every courtyard, may happiness bloom in your life.",
    "Sending you warm Onam wishes from my home to yours…",
};

// ---- 18: Halloween -------------------------------------------------------------------------
const char* const halloween_titles[] = {
    "Happy Halloween!",
    "Trick or Treat!",
    "Spooky Greetings",
    "Boo!",
    "Have a Frightful Night",
    "Witch Way to the Party?",
    "Pumpkins and Candy",
    "A Hauntingly Good Time",
};
const char* const halloween_messages[] = {
    "Wishing you more treats than tricks and a bag full of candy tonight.",
    "May your pumpkins glow bright and your costume be the scariest on the street.",
    "Ghosts, goblins and a full moon: it must be Halloween! Have a spooky good time.",
    "Don’t be afraid of the dark tonight; it’s only your friends in costumes.",
    "Here’s a little magic from one witch to another. Happy Halloween!",
    "May your night be filled with laughter, a few harmless frights and lots of sweets.",
    "Carve a smile on your pumpkin and one on your face. It’s Halloween!",
    "Watch out for black cats and broomsticks… and save some candy for me!",
};

// ---- 19: Christmas -------------------------------------------------------------------------
const char* const christmas_titles[] = {
    "Happy Christmas!",
    "Merry Christmas!",
    "Season’s Greetings",
    "Joy to the World",
    "Peace on Earth",
    "Warm Christmas Wishes",
    "Let It Snow!",
    "Tidings of Comfort and Joy",
    "All Is Calm, All Is Bright",
};
const char* const christmas_messages[] = {
    "May your Christmas be merry and bright, and your home be full of love tonight.",
    "Wishing you the warmth of a crackling fire and the joy of family around you.",
    "May the star of Bethlehem light your way to peace and happiness.",
    "Here’s to twinkling lights, wrapped presents and cocoa with marshmallows.",
    "May the magic of Christmas fill your heart with wonder and your days with cheer.",
    "Santa asked me to tell you that you’ve been very good this year. Merry Christmas!",
    "Sending you snowflakes, sleigh bells and a stocking full of good wishes.",
    "May the gifts of this season be love, peace and the company of those you hold dear.",
    "The best present under the tree is time spent together. Enjoy every moment.",
    "May the joy of the newborn King stay with you throughout the coming year.",
    "Wishing you a holly, jolly Christmas and a sparkling start to the new year.",
    "Let’s sing carols, bake cookies and share the happiness of the season.",
    "Christmas is not a date but a state of mind. May yours be peaceful and glad.",
    "Thank you for making this year brighter. Merry Christmas to you and your family!",
    "May your Christmas tree shine bright and your heart shine brighter.",
    "Peace, love and joy to you this Christmas and always…",
};

// ---- 20: Weekend ---------------------------------------------------------------------------
const char* const weekend_titles[] = {
    "Happy Weekend!",
    "Enjoy Your Weekend!",
    "Time to Relax",
    "Hello, Saturday!",
    "Weekend Vibes",
    "Rest and Recharge",
    "Finally Friday!",
    "Sunny Weekend Wishes",
    "Take It Easy",
};
const char* const weekend_messages[] = {
    "The week is done and the weekend is yours. Sleep late, laugh loud and enjoy it!",
    "May your weekend be full of sunshine, good food and the people you love.",
    "Leave the work on your desk and bring your smile home. Happy Weekend!",
    "Here’s to lazy mornings, long walks and no alarm clocks.",
    "Wishing you two whole days of doing exactly what makes you happy.",
    "Put your feet up, grab a good book and let the weekend take care of the rest.",
    "May your Saturday be adventurous and your Sunday be restful.",
    "Recharge your batteries; Monday can wait. Have a wonderful weekend!",
    "Sending you weekend wishes and a reminder to take a break now and then…",
};

// ---- 21: Janmashtami -----------------------------------------------------------------------
const char* const janmashtami_titles[] = {
    "Happy Janamasthami",
    "Jai Shri Krishna!",
    "Blessings of Lord Krishna",
    "Happy Krishna Janmashtami",
    "The Flute Plays for You",
    "Joyful Janmashtami Wishes",
    "Welcome, Little Krishna",
    "Break the Dahi Handi!",
    "Divine Wishes to You",
};
const char* const janmashtami_messages[] = {
    "May the sweet melody of Krishna’s flute fill your home with peace and joy.",
    "Wishing you butter, blessings and boundless happiness this Janmashtami.",
    "May Lord Krishna guide you through every challenge with wisdom and love.",
    "As we celebrate the birth of Krishna, may your heart be filled with devotion.",
    "Let’s sing, dance and break the dahi handi together. Happy Janmashtami!",
    "May the little Lord’s mischief bring smiles and his grace bring prosperity.",
    "On this holy night, may all your prayers be answered.",
    "Sending you divine wishes and a pot full of love…",
};

// ---- 22: other occasions -------------------------------------------------------------------
const char* const other_titles[] = {
    "Best Wishes!!!",
    "Congratulations!",
    "You’re Invited!",
    "Let’s Celebrate!",
    "Warm Wishes",
    "Thinking of You",
    "Cheers!",
    "A Special Day",
    "With Best Regards",
};
const char* const other_messages[] = {
    "Wishing you all the best on this special occasion. May every day bring you something to smile about.",
    "Please join us to celebrate; it wouldn’t be the same without you.",
    "Congratulations on your achievement! Your hard work has truly paid off.",
    "Sending you warm thoughts and good wishes, today and always.",
    "May this day be the beginning of many happy memories.",
    "Come and share the food, the music and the fun with us. We’d love to see you there!",
    "Thank you for being a part of our lives. Here’s to many more celebrations together…",
};

template <std::size_t T, std::size_t M>
Greeting_Festival row(const char* code, const char* festival, const char* action,
                      const char* const (&titles)[T], const char* const (&messages)[M]) {
  Greeting_Festival out;
  out.code = QString::fromLatin1(code);
  out.festival = QString::fromUtf8(festival);
  out.action = QString::fromLatin1(action);
  for (const char* t : titles) out.titles << QString::fromUtf8(t);
  for (const char* m : messages) out.messages << QString::fromUtf8(m);
  return out;
}

}  // namespace

const QList<Greeting_Festival>& Greeting_Table() {
  static const QList<Greeting_Festival> table = {
      row("1", "New Year", "New_Year_Click", new_year_titles, new_year_messages),
      row("2", "Pongal", "Pongal_Click", pongal_titles, pongal_messages),
      row("3", "Valentine's Day", "Valentine_Click", valentine_titles, valentine_messages),
      row("4", "Chocolate Day", "Chcocolate_Click", chocolate_titles, chocolate_messages),
      row("5", "Hug Day", "Hug_Day_Click", hug_titles, hug_messages),
      row("6", "Friendship Day", "Frendship_Day_Click", friendship_titles, friendship_messages),
      row("7", "Kiss Day", "Kiss_Click", kiss_titles, kiss_messages),
      row("8", "Holi", "Holi_Click", holi_titles, holi_messages),
      row("9", "Diwali", "Diwali_Click", diwali_titles, diwali_messages),
      row("10", "Good Friday", "Gud_Friday_Click", good_friday_titles, good_friday_messages),
      row("11", "Easter", "Easter_Click", easter_titles, easter_messages),
      row("12", "Eid", "Eid_Click", eid_titles, eid_messages),
      row("13", "Mother's Day", "Mothers_Day_Click", mothers_day_titles, mothers_day_messages),
      row("14", "Father's Day", "Fathers_Click", fathers_day_titles, fathers_day_messages),
      row("15", "Thanksgiving", "Thnks_Giving_Click", thanksgiving_titles, thanksgiving_messages),
      row("16", "Rakhi", "Rakhi_Click", rakhi_titles, rakhi_messages),
      row("17", "Onam", "Onam_Click", onam_titles, onam_messages),
      row("18", "Halloween", "Halloween_Click", halloween_titles, halloween_messages),
      row("19", "Christmas", "Chritsmas_Click", christmas_titles, christmas_messages),
      row("20", "Weekend", "Weekend_Click", weekend_titles, weekend_messages),
      row("21", "Janmashtami", "Janmastmi_Click", janmashtami_titles, janmashtami_messages),
      row("22", "Other occasions", "Other_Click", other_titles, other_messages),
  };
  return table;
}
