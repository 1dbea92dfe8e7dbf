// café € 😀
var s = "ü";
